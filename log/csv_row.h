#pragma once

#include <QByteArray>
#include <QString>

namespace lumodm {

// Builds one CSV row (RFC 4180) field by field, in UTF-8, ending in CRLF.
class CsvRow
{
  public:
    // Appends a field, quoted when it holds a comma, a quote, a line break
    // or blanks at either end (which some readers would trim). A NUL
    // becomes U+FFFD: many tools cut a line at NUL.
    void addField(const QString& text);
    void addField(const char* utf8);
    void addFieldUtf8(const QByteArray& utf8);
    // A field of text as an instrument sent it: one that a spreadsheet
    // would take for a formula (it begins with = + - @, a tab or a CR and
    // is not a number) gets a leading apostrophe, which shows it as text.
    void addInstrumentText(const QString& text);

    // The row with its line end.
    QByteArray finish() const { return row_ + "\r\n"; }
    void clear() { row_.clear(), count_ = 0; }

  private:
    QByteArray row_;
    int count_ = 0;
};

// Whether a spreadsheet would take `text` for a formula: it begins with
// = + - @, a tab or a CR and is not a number.
bool startsLikeAFormula(const QString& text);

} // namespace lumodm
