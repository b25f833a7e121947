#pragma once

#include "bus/drivers/prologix/plus_plus_transport.h"
#include "bus/gpib_driver.h"

#include <QByteArray>
#include <QList>
#include <QMap>
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
    int pieceSize = 0;         // what it sends arrives in pieces this long
};

// A "++" adapter (Prologix or AR488) in front of a bus, usually the
// product's simulated meters. It is also the driver's transport straight
// into it, on a clock of its own: waiting for bytes that do not come moves
// that clock instead of taking time, so timeouts cost nothing. The TCP and
// terminal server feeds it through take() and takeOutput() instead.
class FakePlusPlusAdapter : public PlusPlusTransport
{
  public:
    static QByteArray versionOf(bool ar488);

    explicit FakePlusPlusAdapter(std::unique_ptr<GpibDriver> bus, FakeAdapterOptions options = {});

    // The adapter's side: the host's bytes in, its answers out.
    void take(const QByteArray& bytes);
    QByteArray takeOutput();
    bool dropped() const { return dropped_; }
    // The connection drops once `more` further lines have been taken.
    void dropAfterMoreLines(int more) { dropAt_ = int(lines_.size()) + more; }
    // Every line taken, unescaped, commands and data ("++addr 16", "ID?").
    const QList<QByteArray>& lines() const { return lines_; }
    int setting(const QByteArray& name) const { return settings_.value(name); }

    // The transport's side. Each piece of output comes `gapMs` after the
    // one before; holdFor() delays the next; pass() is time spent elsewhere.
    int gapMs = 0;
    void holdFor(qint64 ms) { readyAt_ = now_ + ms; }
    void pass(qint64 ms) { now_ += ms; }
    bool open(QString*) override { return open_ = true; }
    void close() override { open_ = false; }
    bool send(const QByteArray& bytes) override;
    QByteArray receive(int timeoutMs, bool* lost) override;
    qint64 nowMs() override { return now_; }
    QString describe() const override { return QStringLiteral("loopback"); }

  private:
    void command(const QList<QByteArray>& words);
    void say(const QByteArray& bytes);
    int descriptor(int primary);

    std::unique_ptr<GpibDriver> bus_;
    FakeAdapterOptions options_;
    QByteArray partial_, output_, arrived_;
    bool escape_ = false, escapedStart_ = false, dropped_ = false, open_ = false;
    QList<QByteArray> lines_;
    int linesTaken_ = 0, dropAt_ = -1;
    QMap<QByteArray, int> settings_;
    QMap<int, int> descriptors_;
    qint64 now_ = 0, readyAt_ = 0;
};

} // namespace lumodm::testing
