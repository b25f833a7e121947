#include "meter/reading_ranges.h"

#include <cmath>
#include <cstdlib>
#include <iterator>

namespace lumodm {

namespace {

constexpr RangeRow kVoltageDm5010Dm5110[] = {
    {0.2, "mV", ScaleOp::Multiply, 1000.0, 1.2F}, {2.0, "V", ScaleOp::None, 1.0, 1.4F},
    {20.0, "V", ScaleOp::None, 1.0, 1.3F},        {200.0, "V", ScaleOp::None, 1.0, 1.2F},
    {1000.0, "V", ScaleOp::None, 1.0, 1.1F},
};

constexpr RangeRow kVoltageDm5120[] = {
    {0.3, "mV", ScaleOp::Multiply, 1000.0, 1.4F},
    {3.0, "V", ScaleOp::None, 1.0, 1.6F},
    {30.0, "V", ScaleOp::None, 1.0, 1.5F},
    {300.0, "V", ScaleOp::None, 1.0, 1.4F},
};

constexpr RangeRow kOhmsDm5010Dm5110[] = {
    {200.0, "Ohm", ScaleOp::None, 1.0, 1.2F},
    {2000.0, "kOhm", ScaleOp::Divide, 1000.0, 1.4F},
    {20000.0, "kOhm", ScaleOp::Divide, 1000.0, 1.3F},
    {200000.0, "kOhm", ScaleOp::Divide, 1000.0, 1.2F},
    {2000000.0, "MOhm", ScaleOp::Divide, 1000000.0, 1.4F},
    {20000000.0, "MOhm", ScaleOp::Divide, 1000000.0, 1.3F},
};

constexpr RangeRow kOhmsDm5120[] = {
    {300.0, "Ohm", ScaleOp::None, 1.0, 1.4F},
    {3000.0, "kOhm", ScaleOp::Divide, 1000.0, 1.6F},
    {30000.0, "kOhm", ScaleOp::Divide, 1000.0, 1.5F},
    {300000.0, "kOhm", ScaleOp::Divide, 1000.0, 1.4F},
    {3000000.0, "MOhm", ScaleOp::Divide, 1000000.0, 1.6F},
    {30000000.0, "MOhm", ScaleOp::Divide, 1000000.0, 1.5F},
    {300000000.0, "MOhm", ScaleOp::Divide, 1000000.0, 1.3F},
};

// "µA" in UTF-8, keeping the source plain ASCII.
constexpr char kMicroAmp[] = "\xC2\xB5"
                             "A";

// Limits in milliamperes: the DM5110's current reading is pre-scaled.
constexpr RangeRow kCurrentDm5110[] = {
    {0.2, kMicroAmp, ScaleOp::Multiply, 1000.0, 1.2F},
    {2.0, "mA", ScaleOp::None, 1.0, 1.4F},
    {20.0, "mA", ScaleOp::None, 1.0, 1.3F},
    {200.0, "mA", ScaleOp::None, 1.0, 1.2F},
    {2000.0, "mA", ScaleOp::None, 1.0, 1.1F},
};

constexpr RangeRow kCurrentDm5010Dm5120[] = {
    {0.0003, kMicroAmp, ScaleOp::Multiply, 1000000.0, 1.3F},
    {0.003, "mA", ScaleOp::Multiply, 1000.0, 1.5F},
    {0.03, "mA", ScaleOp::Multiply, 1000.0, 1.4F},
    {0.3, "mA", ScaleOp::Multiply, 1000.0, 1.3F},
    {3.0, "A", ScaleOp::None, 1.0, 1.5F},
};

template <std::size_t N>
constexpr RangeTable table(const RangeRow (&rows)[N], bool byMagnitude, bool compareSigned)
{
    return RangeTable{rows, static_cast<int>(N), byMagnitude, compareSigned};
}

constexpr RangeTable kVoltage12 = table(kVoltageDm5010Dm5110, true, false);
constexpr RangeTable kVoltage3 = table(kVoltageDm5120, false, false);
constexpr RangeTable kOhms12 = table(kOhmsDm5010Dm5110, true, true);
constexpr RangeTable kOhms3 = table(kOhmsDm5120, false, true);
constexpr RangeTable kCurrent2 = table(kCurrentDm5110, false, false);
constexpr RangeTable kCurrent13 = table(kCurrentDm5010Dm5120, false, false);

double applyScale(const RangeRow& row, double value)
{
    switch (row.op) {
    case ScaleOp::Multiply:
        return value * row.factor;
    case ScaleOp::Divide:
        return value / row.factor;
    case ScaleOp::None:
        break;
    }
    return value;
}

} // namespace

UnitGroup unitGroupOf(const QString& functionCode)
{
    if (functionCode == QLatin1String("DCV") || functionCode == QLatin1String("ACV") ||
        functionCode == QLatin1String("ACDC")) {
        return UnitGroup::Voltage;
    }
    if (functionCode == QLatin1String("OHMS")) {
        return UnitGroup::Resistance;
    }
    if (functionCode == QLatin1String("DIODE")) {
        return UnitGroup::Diode;
    }
    if (functionCode == QLatin1String("DBM DCV") || functionCode == QLatin1String("DBM ACV") ||
        functionCode == QLatin1String("DBM") || functionCode == QLatin1String("DBV") ||
        functionCode == QLatin1String("DB ACV") || functionCode == QLatin1String("DB ACA")) {
        return UnitGroup::Decibel;
    }
    if (functionCode == QLatin1String("DCA") || functionCode == QLatin1String("ACA")) {
        return UnitGroup::Current;
    }
    return UnitGroup::Other;
}

QString baseUnitOf(UnitGroup group)
{
    switch (group) {
    case UnitGroup::Voltage:
        return QStringLiteral("V");
    case UnitGroup::Resistance:
        return QStringLiteral("Ohm");
    case UnitGroup::Current:
        return QStringLiteral("A");
    case UnitGroup::Diode:
    case UnitGroup::Decibel:
    case UnitGroup::Other:
        break;
    }
    return {};
}

const RangeTable* rangeTableFor(UnitGroup group, MeterModel model)
{
    switch (group) {
    case UnitGroup::Voltage:
        return model == MeterModel::DM5120 ? &kVoltage3 : &kVoltage12;
    case UnitGroup::Resistance:
        return model == MeterModel::DM5120 ? &kOhms3 : &kOhms12;
    case UnitGroup::Current:
        return model == MeterModel::DM5110 ? &kCurrent2 : &kCurrent13;
    case UnitGroup::Diode:
    case UnitGroup::Decibel:
    case UnitGroup::Other:
        break;
    }
    return nullptr;
}

bool usesMilliampPrescale(UnitGroup group, MeterModel model)
{
    return group == UnitGroup::Current && model == MeterModel::DM5110;
}

ScaledReading selectRange(const RangeTable& table, double value, const QString& baseUnit,
                          std::int16_t& rangeNumber)
{
    if (rangeNumber == 0) {
        const double compared = table.compareSigned ? value : std::fabs(value);
        for (int row = 0; row < table.rowCount; ++row) {
            if (table.rows[row].limit > compared) {
                rangeNumber = static_cast<std::int16_t>(row + 1);
                break;
            }
        }
    }
    // int, so that the magnitude of -32768 does not overflow.
    int lookup = rangeNumber;
    if (table.lookupByMagnitude) {
        lookup = std::abs(lookup);
    }
    if (lookup < 1 || lookup > table.rowCount) {
        return ScaledReading{value, baseUnit, 0.0F};
    }
    const RangeRow& row = table.rows[lookup - 1];
    return ScaledReading{applyScale(row, value), QString::fromUtf8(row.unit), row.digitFormat};
}

float lowerDigitFormatForAcv(float digitFormat)
{
    // Lowered in double, stored back in single precision.
    return static_cast<float>(static_cast<double>(digitFormat) - 0.1);
}

} // namespace lumodm
