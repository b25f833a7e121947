#pragma once

#include <QByteArray>
#include <QString>

namespace lumodm::vbib32rv {

// A number as the helper module's messages insert it: one leading blank
// for values that are not negative (" 14"), the minus sign otherwise.
inline QString numberText(int value)
{
    return value >= 0 ? QLatin1Char(' ') + QString::number(value) : QString::number(value);
}

// Remove leading and trailing spaces only: the unread part of a read
// buffer is spaces, and other blanks belong to the response.
inline QByteArray trimSpaces(const char* data, int size)
{
    int first = 0;
    int last = size;
    while (first < last && data[first] == ' ') {
        ++first;
    }
    while (last > first && data[last - 1] == ' ') {
        --last;
    }
    return QByteArray(data + first, last - first);
}

inline bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

} // namespace lumodm::vbib32rv
