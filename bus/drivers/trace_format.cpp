#include "bus/drivers/trace_format.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace lumodm::trace {

namespace {

std::string hex(unsigned value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*x", digits, value);
    return text;
}

const char* errorName(int iberr)
{
    switch (iberr) {
    case gpib::EDVR:
        return "EDVR";
    case gpib::ECIC:
        return "ECIC";
    case gpib::ENOL:
        return "ENOL";
    case gpib::EADR:
        return "EADR";
    case gpib::EARG:
        return "EARG";
    case gpib::ESAC:
        return "ESAC";
    case gpib::EABO:
        return "EABO";
    case gpib::ENEB:
        return "ENEB";
    case gpib::EOIP:
        return "EOIP";
    case gpib::ECAP:
        return "ECAP";
    case gpib::EFSO:
        return "EFSO";
    case gpib::EBUS:
        return "EBUS";
    case gpib::ESTB:
        return "ESTB";
    case gpib::ESRQ:
        return "ESRQ";
    case gpib::ETAB:
        return "ETAB";
    default:
        return nullptr;
    }
}

std::string runsText(const std::vector<long>& values)
{
    std::string text = "[";
    for (std::size_t i = 0; i < values.size();) {
        std::size_t j = i;
        while (j + 1 < values.size() && values[j + 1] == values[j] + 1) {
            ++j;
        }
        if (i > 0) {
            text += ' ';
        }
        text += std::to_string(values[i]);
        if (j >= i + 2) {
            text += ".." + std::to_string(values[j]);
        } else if (j == i + 1) {
            text += ' ' + std::to_string(values[j]);
        }
        i = j + 1;
    }
    return text + "]";
}

} // namespace

std::string quoted(const char* data, long count, long limit)
{
    if (data == nullptr || count <= 0) {
        return "\"\"";
    }
    const long shown = std::min(count, limit);
    std::string text = "\"";
    for (long i = 0; i < shown; ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        switch (c) {
        case '\r':
            text += "\\r";
            break;
        case '\n':
            text += "\\n";
            break;
        case '\t':
            text += "\\t";
            break;
        case '"':
            text += "\\\"";
            break;
        case '\\':
            text += "\\\\";
            break;
        default:
            if (c >= 0x20 && c < 0x7F) {
                text += static_cast<char>(c);
            } else {
                text += "\\x" + hex(c, 2);
            }
        }
    }
    text += '"';
    if (shown < count) {
        text += " (+" + std::to_string(count - shown) + " bytes)";
    }
    return text;
}

std::string statusText(const GpibStatus& status)
{
    static constexpr struct
    {
        int bit;
        const char* name;
    } bits[] = {{gpib::ERR, "ERR"},   {gpib::TIMO, "TIMO"}, {gpib::END, "END"},
                {gpib::SRQI, "SRQI"}, {gpib::RQS, "RQS"},   {gpib::CMPL, "CMPL"},
                {gpib::LOK, "LOK"},   {gpib::REM, "REM"},   {gpib::CIC, "CIC"},
                {gpib::ATN, "ATN"},   {gpib::TACS, "TACS"}, {gpib::LACS, "LACS"},
                {gpib::DTAS, "DTAS"}, {gpib::DCAS, "DCAS"}};
    std::string names;
    for (const auto& b : bits) {
        if ((status.ibsta & b.bit) != 0) {
            names += names.empty() ? "" : " ";
            names += b.name;
        }
    }
    std::string text = "ibsta 0x" + hex(static_cast<unsigned>(status.ibsta) & 0xFFFFu, 4);
    if (!names.empty()) {
        text += " (" + names + ")";
    }
    if ((status.ibsta & gpib::ERR) != 0) {
        text += ", iberr " + std::to_string(status.iberr);
        const char* name = errorName(status.iberr);
        text += name != nullptr ? std::string(" (") + name + ")" : std::string();
    }
    text += ", ibcntl " + std::to_string(status.ibcntl);
    return text;
}

std::string addressList(const std::uint16_t* addresses, int limit)
{
    if (addresses == nullptr) {
        return "null";
    }
    std::vector<long> values;
    for (int i = 0; i < limit && addresses[i] != gpib::NOADDR; ++i) {
        values.push_back(addresses[i]);
    }
    return runsText(values);
}

std::string foundList(const std::int16_t* results, std::int64_t count)
{
    if (results == nullptr) {
        return "null";
    }
    std::vector<long> values;
    for (std::int64_t i = 0; i < count; ++i) {
        values.push_back(results[i]);
    }
    return runsText(values);
}

} // namespace lumodm::trace
