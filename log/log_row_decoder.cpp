#include "log/log_row_decoder.h"

#include "log/csv_row.h"
#include "log/log_timestamp.h"
#include "meter/function_table.h"
#include "meter/parse_number.h"
#include "meter/unit_prefix.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace lumodm {

namespace {

constexpr const char* kColumnNames[] = {"time", "model",   "function", "range",  "value",
                                        "unit", "readout", "raw",      "address"};
constexpr float kUnknown = std::numeric_limits<float>::quiet_NaN();

QString text(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Text from the meter as it was before the log marked it as text.
QString instrumentText(std::string_view bytes)
{
    if (bytes.size() > 1 && bytes.front() == '\'' && std::strchr("=+-@\t\r", bytes[1]) != nullptr) {
        QString rest = text(bytes.substr(1));
        if (startsLikeAFormula(rest)) {
            return rest;
        }
    }
    return text(bytes);
}

// A whole number of at most 16 bits; nullopt for anything else.
std::optional<std::int16_t> smallInteger(std::string_view bytes)
{
    int value = 0;
    const char* end = bytes.data() + bytes.size();
    const auto [ptr, ec] = std::from_chars(bytes.data(), end, value);
    if (bytes.empty() || ec != std::errc() || ptr != end || value < -32768 || value > 32767) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(value);
}

bool sameName(std::string_view field, const char* name)
{
    while (!field.empty() && field.front() == ' ') {
        field.remove_prefix(1);
    }
    while (!field.empty() && field.back() == ' ') {
        field.remove_suffix(1);
    }
    const std::size_t length = std::strlen(name);
    if (field.size() != length) {
        return false;
    }
    for (std::size_t i = 0; i < length; ++i) {
        const char c =
            field[i] >= 'A' && field[i] <= 'Z' ? static_cast<char>(field[i] + 32) : field[i];
        if (c != name[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

bool LogRowDecoder::takeHeader(const std::string_view* fields, int count)
{
    index_.fill(-1);
    needed_ = 0;
    for (int i = 0; i < count; ++i) {
        for (int c = 0; c < ColumnCount; ++c) {
            if (index_[c] < 0 && sameName(fields[i], kColumnNames[c])) {
                index_[c] = i;
                needed_ = std::max(needed_, i + 1);
            }
        }
    }
    contexts_ = {};
    return index_[Time] >= 0 && index_[Value] >= 0;
}

std::string_view LogRowDecoder::field(const std::string_view* fields, Column column) const
{
    return index_[column] >= 0 ? fields[index_[column]] : std::string_view();
}

LogRowDecoder::Context& LogRowDecoder::contextFor(const std::string_view* fields)
{
    const auto matches = [&](const Context& c) {
        return c.model == field(fields, Model) && c.function == field(fields, Function) &&
               c.range == field(fields, Range) && c.unit == field(fields, Unit) &&
               !c.baseUnit.isNull();
    };
    if (matches(contexts_[lastContext_])) {
        return contexts_[lastContext_];
    }
    for (std::size_t i = 0; i < contexts_.size(); ++i) {
        if (matches(contexts_[i])) {
            lastContext_ = i;
            return contexts_[i];
        }
    }
    lastContext_ = nextContext_;
    nextContext_ = (nextContext_ + 1) % contexts_.size();
    Context& context = contexts_[lastContext_];
    fill(context, fields);
    return context;
}

void LogRowDecoder::fill(Context& c, const std::string_view* fields) const
{
    c.model = field(fields, Model);
    c.function = field(fields, Function);
    c.range = field(fields, Range);
    c.unit = field(fields, Unit);
    c.modelName = instrumentText(c.model);
    c.meter = meterModelNamed(c.modelName);
    c.functionCode = text(c.function);
    c.group = unitGroupOf(c.functionCode);
    c.rangeSetting = smallInteger(c.range);
    c.unitText = text(c.unit);
    const FunctionRow* row = findFunction(c.functionCode);
    const bool ownUnit = c.group == UnitGroup::Diode || c.group == UnitGroup::Decibel;
    c.baseUnit =
        ownUnit && row != nullptr ? QString::fromUtf8(row->unitLabel) : baseUnitOf(c.group);
    const std::optional<int> power =
        c.baseUnit.isEmpty() ? std::nullopt : prefixPower(c.unitText, c.baseUnit);
    c.exponent = power.value_or(0);
    // A unit that is no prefix of the function's: the values stay in it.
    if (!power && !c.unitText.isEmpty() && c.unitText != c.baseUnit) {
        c.baseUnit = c.unitText;
    }
    if (c.baseUnit.isNull()) {
        c.baseUnit = QLatin1String(""); // set: the context is filled
    }
    c.formats.fill(kUnknown);
}

// The readout's digit format: that of the range whose unit and decimals
// the readout shows, none (the general form) when no range shows them.
float LogRowDecoder::digitFormat(Context& c, std::string_view readout) const
{
    const std::size_t point = readout.find('.');
    const std::size_t decimals = point == std::string_view::npos ? 0 : readout.size() - point - 1;
    if (decimals >= c.formats.size()) {
        return 0.0F;
    }
    float& format = c.formats[decimals];
    if (!std::isnan(format)) {
        return format;
    }
    format = 0.0F;
    const int wanted = static_cast<int>(decimals);
    if (c.group == UnitGroup::Diode || c.group == UnitGroup::Decibel) {
        const float own = c.group == UnitGroup::Diode ? 1.4F : 1.2F;
        format = digitFormatDecimals(own) == wanted ? own : 0.0F;
    } else if (const RangeTable* table = rangeTableFor(c.group, c.meter)) {
        const bool lowered = c.group == UnitGroup::Voltage && c.meter == MeterModel::DM5120 &&
                             c.functionCode == QLatin1String("ACV");
        for (int i = 0; i < table->rowCount; ++i) {
            const RangeRow& row = table->rows[i];
            const float rowFormat =
                lowered ? lowerDigitFormatForAcv(row.digitFormat) : row.digitFormat;
            if (c.unit == row.unit && digitFormatDecimals(rowFormat) == wanted) {
                format = rowFormat;
                break;
            }
        }
    }
    return format;
}

bool LogRowDecoder::decode(const std::string_view* fields, int count, Reading& out)
{
    if (count < needed_) {
        return false;
    }
    const auto time = parseIsoTimestamp(field(fields, Time));
    if (!time) {
        return false;
    }
    const std::string_view value = field(fields, Value);
    double number = 0.0;
    if (!value.empty()) {
        const char* end = value.data() + value.size();
        const auto [ptr, ec] = std::from_chars(value.data(), end, number);
        if (ec != std::errc() || ptr != end || !std::isfinite(number)) {
            return false;
        }
    }
    Context& c = contextFor(fields);
    out.time = *time;
    out.meterModel = c.modelName;
    out.functionCode = c.functionCode;
    out.group = c.group;
    out.rangeSetting = c.rangeSetting;
    out.rangeNumber = c.rangeSetting.value_or(0);
    out.unit = c.unitText;
    out.baseUnit = c.baseUnit;
    out.keepsUnitLabel = c.group == UnitGroup::Diode || c.group == UnitGroup::Decibel;
    const std::string_view readout = field(fields, Readout);
    out.readoutText = text(readout);
    out.rawAnswer = instrumentText(field(fields, Raw));
    const std::optional<std::int16_t> address = smallInteger(field(fields, Address));
    out.meterAddress = address && *address > 0 ? *address : 0;
    if (!value.empty()) {
        out.kind = Reading::Kind::Value;
        out.value = number;
        out.valueInBase = scaledByPowerOfTen(number, c.exponent);
        out.digitFormat = digitFormat(c, readout);
    } else if (out.readoutText == QLatin1String("OVERFLO")) {
        out.kind = Reading::Kind::Overflow;
        out.value = out.valueInBase = ParseLeadingNumber(out.rawAnswer);
    } else {
        out.kind = Reading::Kind::NoNumber;
    }
    return true;
}

} // namespace lumodm
