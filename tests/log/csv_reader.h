#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace lumodm::testing {

// A strict RFC 4180 reader for checking what the log wrote. Rows end in
// CRLF; a quoted field may hold anything. `complete` is false for a last
// row without its line end (or with an open quote).
struct CsvTable
{
    QList<QStringList> rows;
    bool lastRowComplete = true;
    bool wellFormed = true; // no stray quote inside an unquoted field
};

inline CsvTable readCsv(const QByteArray& bytes)
{
    CsvTable table;
    QStringList row;
    QByteArray field;
    bool quoted = false;    // inside a quoted field
    bool wasQuoted = false; // the current field was quoted
    bool rowStarted = false;
    auto endField = [&] {
        row.append(QString::fromUtf8(field));
        field.clear();
        wasQuoted = false;
    };
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        rowStarted = true;
        if (quoted) {
            if (c == '"') {
                if (i + 1 < bytes.size() && bytes[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == '"') {
            if (!field.isEmpty() || wasQuoted) {
                table.wellFormed = false;
            }
            quoted = true;
            wasQuoted = true;
        } else if (c == ',') {
            endField();
        } else if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            endField();
            table.rows.append(row);
            row.clear();
            rowStarted = false;
            ++i;
        } else if (c == '\r' || c == '\n') {
            table.wellFormed = false; // a bare line break outside quotes
            field += c;
        } else {
            if (wasQuoted) {
                table.wellFormed = false;
            }
            field += c;
        }
    }
    if (rowStarted) {
        endField();
        table.rows.append(row);
        table.lastRowComplete = false;
    }
    return table;
}

} // namespace lumodm::testing
