#pragma once

#include <QByteArray>
#include <cstdint>

namespace lumodm {

// Faults a test can switch on a simulated device at any moment. Every
// field acts on the next bus operation; the defaults are a healthy device.
struct SimFaults
{
    // The device listens and acts on its messages but never talks: every
    // read times out.
    bool noAnswer = false;
    // Every write fails with this iberr (EABO also sets TIMO, as a write
    // timeout does); -1 for none. The message does not reach the device.
    int writeError = -1;
    // Answers are sent without END: a read asking for more than is left
    // gets the rest and then times out.
    bool noEnd = false;
    // Every answer is cut or padded with `answerFill` to exactly this many
    // bytes, its line end kept at the end; -1 leaves answers as they are.
    int answerLength = -1;
    char answerFill = '0';
    // When not empty, every answer is replaced by these bytes (with END).
    QByteArray garbage;
    // After this many more complete messages the device leaves the bus
    // (the answer to the last one is lost); -1 never.
    int vanishAfterMessages = -1;
    // While absent, the device comes back after this many bus operations
    // addressed to it have failed; -1 only when a test clears `absent`.
    int returnAfterAttempts = -1;
    // Off the bus right now: writes find no listener, reads time out and
    // discovery passes it by.
    bool absent = false;

    // `length` bytes from a seeded generator, always holding a NUL and a
    // byte above 127.
    static QByteArray garbageBytes(int length, std::uint32_t seed);
};

} // namespace lumodm
