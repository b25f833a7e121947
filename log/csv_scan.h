#pragma once

#include <string_view>

namespace lumodm {

// Reading CSV (RFC 4180) rows back out of a block of bytes.

// Just past the line feed that ends the row starting at `begin`, found
// outside quotes; nullptr when [begin, end) holds no whole row.
const char* csvRowEnd(const char* begin, const char* end);

// Splits a whole row (its line end included, LF or CRLF) into fields,
// unquoting them in place. Keeps at most `max` in `fields` and returns how
// many the row has. `wellFormed` turns false for a quoted field that is
// not closed or goes on after its closing quote.
int splitCsvRow(char* begin, char* end, std::string_view* fields, int max, bool& wellFormed);

} // namespace lumodm
