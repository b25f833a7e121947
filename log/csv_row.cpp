#include "log/csv_row.h"

namespace lumodm {

namespace {

bool needsQuotes(const QByteArray& utf8)
{
    if (utf8.isEmpty()) {
        return false;
    }
    if (utf8.front() == ' ' || utf8.back() == ' ') {
        return true;
    }
    for (char c : utf8) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n') {
            return true;
        }
    }
    return false;
}

} // namespace

bool startsLikeAFormula(const QString& text)
{
    if (text.isEmpty() || !QStringLiteral("=+-@\t\r").contains(text.front())) {
        return false;
    }
    if (text.front() == QLatin1Char('\t') || text.front() == QLatin1Char('\r')) {
        return true; // spreadsheets drop these and read on
    }
    bool number = false;
    text.toDouble(&number); // "." whatever the locale; "-1.5E+0" stays as it is
    return !number;
}

void CsvRow::addInstrumentText(const QString& text)
{
    addField(startsLikeAFormula(text) ? QLatin1Char('\'') + text : text);
}

void CsvRow::addField(const QString& text)
{
    addFieldUtf8(text.toUtf8());
}

void CsvRow::addField(const char* utf8)
{
    addFieldUtf8(QByteArray(utf8));
}

void CsvRow::addFieldUtf8(const QByteArray& utf8)
{
    if (count_++ > 0) {
        row_ += ',';
    }
    const bool quoted = needsQuotes(utf8);
    if (quoted) {
        row_ += '"';
    }
    for (char c : utf8) {
        if (c == '"') {
            row_ += "\"\"";
        } else if (c == '\0') {
            row_ += "\xEF\xBF\xBD";
        } else {
            row_ += c;
        }
    }
    if (quoted) {
        row_ += '"';
    }
}

} // namespace lumodm
