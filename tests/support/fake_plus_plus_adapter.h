#pragma once

#include "bus/gpib_driver.h"

#include <QByteArray>
#include <QList>
#include <memory>

namespace lumodm::testing {

// How a fake adapter misbehaves, the way real ones do.
struct FakeAdapterOptions
{
    bool ar488 = false;        // AR488 firmware: "++ren", "++findlstn"
    bool findListeners = true; // AR488 only: whether it knows "++findlstn"
    int bootLines = 0;         // lines lost while it restarts after its port opened
    bool strayNuls = false;    // NUL bytes in what it sends
    QByteArray spollAnswer;    // set: every "++spoll" is answered with this
    int dropAfterLines = -1;   // the connection drops after this many lines
    int pieceSize = 0;         // what it sends arrives in pieces this long
};

// A "++" adapter (Prologix or AR488) in front of a bus, usually the
// simulated meters: it takes the host's bytes and produces its answers.
// Not thread-safe; the server around it serialises access.
class FakePlusPlusAdapter
{
  public:
    static QByteArray prologixVersion();
    static QByteArray ar488Version();

    FakePlusPlusAdapter(std::unique_ptr<GpibDriver> bus, FakeAdapterOptions options = {});

    const FakeAdapterOptions& options() const { return options_; }
    QByteArray version() const { return options_.ar488 ? ar488Version() : prologixVersion(); }
    GpibDriver& bus() { return *bus_; }

    void receive(const QByteArray& bytes);
    QByteArray takeOutput();
    bool dropped() const { return dropped_; }
    // The connection drops once `more` further lines have been taken.
    void dropAfterMoreLines(int more) { options_.dropAfterLines = int(lines_.size()) + more; }

    // Every line taken, unescaped, commands and data ("++addr 16", "ID?").
    const QList<QByteArray>& lines() const { return lines_; }
    int readTimeoutMs() const { return readTimeoutMs_; }

  private:
    void line(const QByteArray& text, bool command);
    void command(const QByteArray& text);
    void data(const QByteArray& text);
    void say(const QByteArray& bytes);
    int descriptor(int primary, int secondary);

    std::unique_ptr<GpibDriver> bus_;
    FakeAdapterOptions options_;
    QByteArray partial_;
    bool escape_ = false;
    bool escapedStart_ = false;
    QByteArray output_;
    QList<QByteArray> lines_;
    int linesTaken_ = 0;
    bool dropped_ = false;
    int primary_ = 1;
    int secondary_ = 0;
    int mode_ = 1;
    int autoRead_ = 0;
    int eoi_ = 1;
    int eos_ = 0;
    int eotEnable_ = 0;
    int eotChar_ = 0;
    int readTimeoutMs_ = 1200;
    int saveConfig_ = 1;
    int descriptors_[31][32] = {};
};

} // namespace lumodm::testing
