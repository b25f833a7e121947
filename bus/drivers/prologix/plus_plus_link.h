#pragma once

#include "bus/drivers/prologix/plus_plus_transport.h"

#include <QByteArray>
#include <optional>

namespace lumodm {

// The byte stream of a "++" adapter cut into what the driver waits for:
// answer lines, read data up to a marker byte, and the adapter's version
// line that shows it has done everything sent before. Stray NUL bytes
// (adapters send them when they start or reset) are dropped on arrival.
// Only a closed connection (or close()) loses the link, and then for good.
class PlusPlusLink
{
  public:
    // Read data and answer lines are cut off beyond this many bytes.
    static constexpr qsizetype MaxData = 1 << 20;
    static constexpr qsizetype MaxLine = 4096;
    static constexpr int MaxVersionsOwed = 64;

    explicit PlusPlusLink(PlusPlusTransport& transport) : transport_(transport) {}

    bool lost() const { return lost_; }
    void abandon() { lost_ = true; }
    qint64 now() { return transport_.nowMs(); }

    // Queues a line for the adapter (a "\n" is added) / sends what is queued.
    void queue(const QByteArray& line);
    bool flush();

    // Throws away what has arrived so far: answers nobody waits for any more.
    void discardArrived();

    // The next non-empty line, without its line end, or nullopt when none
    // came before the deadline (or the connection is gone).
    std::optional<QByteArray> readLine(qint64 deadline);

    // Bytes up to the marker (removed). `complete` says whether the marker
    // came; without it, what arrived before `idleMs` passed without a byte
    // or `hardDeadline` came, whichever is first.
    struct Data
    {
        QByteArray bytes;
        bool complete = false;
    };
    Data readUntil(char marker, int idleMs, qint64 hardDeadline);

    // Sends "++ver" and waits for `version`; the bytes that came before it
    // are left in *before. False when the adapter did not answer in time;
    // the answer still owed is then awaited too by the next sync, so a late
    // one is never taken for what follows it.
    bool sync(const QByteArray& version, qint64 deadline, QByteArray* before);

    // Whatever arrives until `quietMs` pass without a byte (never beyond
    // the deadline) is thrown away.
    void drainUntilQuiet(int quietMs, qint64 deadline);

  private:
    // Waits until the deadline for more bytes; false when none came.
    bool fill(qint64 deadline);

    PlusPlusTransport& transport_;
    QByteArray in_;
    QByteArray out_;
    bool lost_ = false;
    int versionsOwed_ = 0;
};

} // namespace lumodm
