#include "bus/drivers/sim/sim_faults.h"

#include "bus/drivers/sim/sim_signal.h"
#include "platform/checked_file.h"

namespace lumodm {

namespace {

constexpr int GarbageLength = 32;
constexpr int MaxCount = 1 << 20;
constexpr std::uint64_t GarbageSeed = 7;

// Seeded bytes that always hold a NUL and a byte above 127.
QByteArray garbageBytes()
{
    QByteArray bytes(GarbageLength, '\0');
    SimRandom random(GarbageSeed);
    for (int i = 1; i < GarbageLength - 1; ++i) {
        bytes[i] = static_cast<char>(random.next() & 0xFF);
    }
    bytes[GarbageLength - 1] = static_cast<char>(0xC3);
    return bytes;
}

} // namespace

bool SimFaults::add(const QString& text, QString* error)
{
    const QString name = text.section(QLatin1Char('='), 0, 0).trimmed().toLower();
    if (!text.contains(QLatin1Char('='))) {
        bool* flag = name == QLatin1String("silent")   ? &noAnswer
                     : name == QLatin1String("no-end") ? &noEnd
                     : name == QLatin1String("absent") ? &absent
                                                       : nullptr;
        if (flag != nullptr) {
            *flag = true;
            return true;
        }
        if (name == QLatin1String("garbage")) {
            garbage = garbageBytes();
            return true;
        }
    }
    int* field = name == QLatin1String("write-error")     ? &writeError
                 : name == QLatin1String("answer-length") ? &answerLength
                 : name == QLatin1String("vanish-after")  ? &vanishAfterMessages
                 : name == QLatin1String("return-after")  ? &returnAfterAttempts
                                                          : nullptr;
    if (field == nullptr) {
        *error = QStringLiteral("unknown fault \"%1\" (known: silent, no-end, garbage, absent, "
                                "answer-length=N, write-error=N, vanish-after=N, return-after=N)")
                     .arg(clippedForMessage(text.trimmed()));
        return false;
    }
    // An iberr is a small code; the counts stay far from overflow.
    const int low = field == &writeError ? 0 : 1;
    const int high = field == &writeError ? 31 : MaxCount;
    const int value = plainDecimal(text.section(QLatin1Char('='), 1).trimmed(), low, high, 7);
    if (value < 0) {
        *error = QStringLiteral("fault \"%1\" needs a number from %2 to %3")
                     .arg(clippedForMessage(text.trimmed()), QString::number(low),
                          QString::number(high));
        return false;
    }
    *field = value;
    return true;
}

int plainDecimal(const QString& text, int low, int high, int maxDigits)
{
    if (text.isEmpty() || text.size() > maxDigits) {
        return -1;
    }
    int value = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return -1;
        }
        value = value * 10 + (c.unicode() - '0');
    }
    return value >= low && value <= high ? value : -1;
}

} // namespace lumodm
