#include "meter/range_command.h"

#include "meter/dm5010_ranges.h"
#include "meter/parse_number.h"
#include "meter/reading_ranges.h"
#include "meter/single_precision.h"

namespace lumodm {

namespace {

// The number after the first space of a range answer (the whole answer
// when it has no space).
float rangeValueOf(const QString& answer)
{
    const qsizetype space = answer.indexOf(QLatin1Char(' '));
    const QStringView rest = space < 0 ? QStringView(answer) : QStringView(answer).mid(space + 1);
    return toSingle(ParseLeadingNumber(rest));
}

} // namespace

QString rangeEntryText(std::int16_t rangeNumber)
{
    return QStringLiteral("Range") + QString::number(rangeNumber);
}

QString rangeQuestion(MeterModel model)
{
    return rangesAsValues(model) ? QStringLiteral("FUNC?") : QStringLiteral("RANGE?");
}

float presentRangeNumber(MeterModel model, const QString& functionCode, const QString& answer)
{
    float present = rangeValueOf(answer);
    if (!rangesAsValues(model)) {
        return present;
    }
    // The DM5010 answers with its range value, negative on automatic.
    if (present < 0.0F) {
        present = 0.0F;
    }
    if (present != 0.0F) {
        const UnitGroup group = unitGroupOf(functionCode);
        if (group == UnitGroup::Voltage) {
            present = dm5010VoltageRangeNumber(present);
        } else if (group == UnitGroup::Resistance) {
            present = dm5010OhmsRangeNumber(present);
        }
    }
    return present;
}

QString rangeCommand(MeterModel model, const QString& functionCode, std::int16_t rangeNumber,
                     float present)
{
    if (!rangesAsValues(model)) {
        return QStringLiteral("RANGE") + QString::number(rangeNumber);
    }
    float value = present;
    const UnitGroup group = unitGroupOf(functionCode);
    if (group == UnitGroup::Voltage) {
        value = dm5010VoltageRangeValue(rangeNumber);
    } else if (group == UnitGroup::Resistance) {
        value = dm5010OhmsRangeValue(rangeNumber);
    }
    return functionCode + QLatin1Char(' ') + dm5010RangeValueText(value);
}

} // namespace lumodm
