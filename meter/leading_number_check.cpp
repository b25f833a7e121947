#include "meter/leading_number_check.h"

namespace lumodm {

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

bool beginsWithNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) {
        ++i;
    }
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        ++i;
    }
    if (i < n && isDigit(text[i])) {
        return true;
    }
    return i + 1 < n && text[i] == QLatin1Char('.') && isDigit(text[i + 1]);
}

} // namespace lumodm
