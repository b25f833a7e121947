#pragma once

#include <QByteArray>
#include <QString>

namespace lumodm {

// Ways a simulated device can misbehave, to try the program's error
// handling without a broken instrument: named on the command line
// (--sim=DM5010,fault=silent) or set by a program at any moment. Every
// field acts on the next bus operation; the defaults are a healthy device.
struct SimFaults
{
    // "silent": the device listens and acts on its messages but never
    // talks: every read times out.
    bool noAnswer = false;
    // "write-error=N": every write fails with iberr N (EABO also sets TIMO,
    // as a write timeout does); -1 for none. The message does not arrive.
    int writeError = -1;
    // "no-end": answers are sent without END: a read asking for more than
    // is left gets the rest and then times out.
    bool noEnd = false;
    // "answer-length=N": every answer is cut or padded with '0' to exactly
    // N bytes, its line end kept at the end; -1 leaves answers as they are.
    int answerLength = -1;
    // "garbage": when not empty, every answer is replaced by these bytes
    // (with END).
    QByteArray garbage;
    // "vanish-after=N": after N more complete messages the device leaves
    // the bus (the answer to the last one is lost); -1 never.
    int vanishAfterMessages = -1;
    // "return-after=N": while absent, the device comes back after N bus
    // operations addressed to it have failed; -1 only when `absent` is
    // cleared.
    int returnAfterAttempts = -1;
    // "absent": off the bus now: writes find no listener, reads time out
    // and discovery passes it by.
    bool absent = false;

    // Switches on the fault `text` names, letters in any case. On a bad
    // name or number returns false and says why in *error.
    bool add(const QString& text, QString* error);
};

// `text` as plain decimal digits (at most `maxDigits`, no sign or blank)
// when the value lies from `low` to `high`; -1 otherwise. The --sim text
// gives its addresses and fault numbers this way.
int plainDecimal(const QString& text, int low, int high, int maxDigits);

} // namespace lumodm
