#include "meter/function_table.h"
#include "meter/leading_number_check.h"
#include "meter/number_format.h"
#include "meter/parse_number.h"
#include "meter/reading.h"
#include "meter/single_precision.h"

#include <cmath>

namespace lumodm {

namespace {

constexpr double kOverflowLimit = 9e9;

QString functionUnit(const QString& code)
{
    const FunctionRow* row = findFunction(code);
    return row ? QString::fromUtf8(row->unitLabel) : QString();
}

} // namespace

Reading interpretReading(const QString& answer, const QString& functionCode, MeterModel model,
                         std::int16_t rangeNumber)
{
    Reading reading;
    reading.functionCode = functionCode;
    reading.group = unitGroupOf(functionCode);
    reading.rangeNumber = rangeNumber;
    if (rangeTableFor(reading.group, model) != nullptr) {
        reading.rangeSetting = rangeNumber > 0 ? rangeNumber : std::int16_t{0};
    }
    reading.rawAnswer = answer;
    reading.keepsUnitLabel =
        reading.group == UnitGroup::Diode || reading.group == UnitGroup::Decibel;
    reading.baseUnit =
        reading.keepsUnitLabel ? functionUnit(functionCode) : baseUnitOf(reading.group);
    reading.unit = reading.baseUnit;

    // A failed exchange or an answer without a number is no reading of 0.
    if (!beginsWithNumber(answer)) {
        reading.readoutText = QStringLiteral("-------");
        return reading;
    }

    double value = ParseLeadingNumber(answer);
    reading.value = value;
    reading.valueInBase = value;
    // Codes outside the table show any number, however large, in the general form.
    if (std::fabs(value) > kOverflowLimit && reading.group != UnitGroup::Other) {
        reading.kind = Reading::Kind::Overflow;
        reading.readoutText = QStringLiteral("OVERFLO");
        return reading;
    }

    reading.kind = Reading::Kind::Value;
    switch (reading.group) {
    case UnitGroup::Voltage:
    case UnitGroup::Resistance:
    case UnitGroup::Current: {
        QString unit = reading.baseUnit;
        if (usesMilliampPrescale(reading.group, model)) {
            value *= 1000.0;
            unit = QStringLiteral("mA");
        }
        const ScaledReading scaled =
            selectRange(*rangeTableFor(reading.group, model), value, unit, reading.rangeNumber);
        value = scaled.value;
        reading.unit = scaled.unit;
        reading.digitFormat = scaled.digitFormat;
        if (reading.group == UnitGroup::Voltage && model == MeterModel::DM5120 &&
            functionCode == QLatin1String("ACV")) {
            reading.digitFormat = lowerDigitFormatForAcv(reading.digitFormat);
        }
        break;
    }
    case UnitGroup::Diode:
        reading.digitFormat = 1.4F;
        break;
    case UnitGroup::Decibel:
        reading.digitFormat = 1.2F;
        break;
    case UnitGroup::Other:
        break;
    }
    reading.value = value;
    // The negated format truncates: digits beyond the shown ones are dropped.
    reading.readoutText = NrToStr(toSingle(value), -reading.digitFormat);
    return reading;
}

} // namespace lumodm
