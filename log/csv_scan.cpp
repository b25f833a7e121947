#include "log/csv_scan.h"

#include <cstring>

namespace lumodm {

namespace {

const char* find(const char* from, const char* end, char c)
{
    return from < end ? static_cast<const char*>(
                            std::memchr(from, c, static_cast<std::size_t>(end - from)))
                      : nullptr;
}

// The quoted field at `p` (its opening quote), unquoted in place from `p`
// on: its text, and in `p` where the field's bytes end.
std::string_view unquote(char*& p, char* end, bool& wellFormed)
{
    char* out = p;
    char* const text = out;
    bool closed = false;
    for (++p; p < end;) {
        if (*p != '"') {
            *out++ = *p++;
        } else if (p + 1 < end && p[1] == '"') {
            *out++ = '"';
            p += 2;
        } else {
            ++p;
            closed = true;
            break;
        }
    }
    if (!closed || (p < end && *p != ',')) {
        wellFormed = false;
    }
    while (p < end && *p != ',') {
        ++p;
    }
    return {text, static_cast<std::size_t>(out - text)};
}

} // namespace

const char* csvRowEnd(const char* begin, const char* end)
{
    const char* p = begin;
    while (p < end) {
        const char* lineEnd = find(p, end, '\n');
        const char* quote = find(p, lineEnd != nullptr ? lineEnd : end, '"');
        if (quote == nullptr) {
            return lineEnd != nullptr ? lineEnd + 1 : nullptr;
        }
        const char* closing = find(quote + 1, end, '"');
        if (closing == nullptr) {
            return nullptr;
        }
        p = closing + 1;
    }
    return nullptr;
}

int splitCsvRow(char* begin, char* end, std::string_view* fields, int max, bool& wellFormed)
{
    if (end > begin && end[-1] == '\n') {
        --end;
    }
    if (end > begin && end[-1] == '\r') {
        --end;
    }
    wellFormed = true;
    int count = 0;
    for (char* p = begin;;) {
        std::string_view field;
        if (p < end && *p == '"') {
            field = unquote(p, end, wellFormed);
        } else {
            const char* comma = find(p, end, ',');
            char* const fieldEnd = comma != nullptr ? begin + (comma - begin) : end;
            field = {p, static_cast<std::size_t>(fieldEnd - p)};
            p = fieldEnd;
        }
        if (count < max) {
            fields[count] = field;
        }
        ++count;
        if (p >= end) {
            return count;
        }
        ++p; // the comma
    }
}

} // namespace lumodm
