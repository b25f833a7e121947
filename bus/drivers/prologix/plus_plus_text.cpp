#include "bus/drivers/prologix/plus_plus_text.h"

#include <algorithm>

namespace lumodm::plusplus {

QByteArray escaped(const char* data, long count)
{
    QByteArray line;
    if (data == nullptr || count <= 0) {
        return line;
    }
    line.reserve(static_cast<qsizetype>(count) + 8);
    for (long i = 0; i < count; ++i) {
        const char c = data[i];
        if (c == '\r' || c == '\n' || c == '\x1b' || c == '+') {
            line += '\x1b';
        }
        line += c;
    }
    return line;
}

std::optional<int> statusByte(const QByteArray& answer)
{
    const QByteArray text = answer.trimmed();
    if (text.isEmpty() || text.size() > 3) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value > 255) {
        return std::nullopt;
    }
    return value;
}

std::vector<int> addressesIn(const QByteArray& answer)
{
    std::vector<int> addresses;
    qsizetype i = 0;
    while (i < answer.size()) {
        if (answer[i] < '0' || answer[i] > '9') {
            ++i;
            continue;
        }
        int value = 0;
        int digits = 0;
        while (i < answer.size() && answer[i] >= '0' && answer[i] <= '9') {
            if (digits < 3) {
                value = value * 10 + (answer[i] - '0');
            }
            ++digits;
            ++i;
        }
        if (digits <= 2 && value <= 30 &&
            std::find(addresses.begin(), addresses.end(), value) == addresses.end()) {
            addresses.push_back(value);
        }
    }
    return addresses;
}

} // namespace lumodm::plusplus
