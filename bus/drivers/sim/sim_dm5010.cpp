#include "bus/drivers/sim/sim_dm5010.h"

#include "bus/drivers/sim/sim_number_text.h"

namespace lumodm {

Dm5010Meter::Dm5010Meter() : SimulatedMeter(simDm5010Model()) {}

SimulatedMeter::Outcome Dm5010Meter::modelCommand(const QByteArray& unit, QByteArray& answer)
{
    if (unit == "FUNCT?" || unit == "FUNC?") {
        answer = functionAnswer();
        return Outcome::Done;
    }
    if (unit == "CALC?") {
        answer = dbmCalculation() ? "CALC DBM" : "CALC OFF";
        return Outcome::Done;
    }
    const qsizetype space = unit.indexOf(' ');
    if (space < 0) {
        return Outcome::Unknown;
    }
    const QByteArray header = unit.left(space);
    const QByteArray argument = unit.mid(space + 1).trimmed();
    if (header == "CALC") {
        if (argument == "DBM" || argument == "OFF") {
            setDbmCalculation(argument == "DBM");
            return Outcome::Done;
        }
        return Outcome::Refused;
    }
    if (model().find(header) != nullptr) {
        return rangeCommand(header, argument);
    }
    return Outcome::Unknown;
}

QByteArray Dm5010Meter::functionAnswer()
{
    float value = static_cast<float>(fullScale(range()));
    if (range() == 0) {
        value = -static_cast<float>(fullScale(measure().range));
    }
    return function() + ' ' + simRangeValueText(value);
}

SimulatedMeter::Outcome Dm5010Meter::rangeCommand(const QByteArray& functionName,
                                                  const QByteArray& argument)
{
    bool ok = false;
    const double value = argument.toDouble(&ok);
    if (!ok) {
        return Outcome::Refused;
    }
    const SimFunction* function = model().find(functionName);
    int range = 0;
    if (value >= 0.0) {
        // The lowest range that holds the value; a little slack for values
        // written in single precision.
        const int count = static_cast<int>(function->ranges.size());
        for (int r = 1; r <= count && range == 0; ++r) {
            if (value <= function->ranges[static_cast<std::size_t>(r - 1)] * (1.0 + 1e-6)) {
                range = r;
            }
        }
        if (range == 0) {
            return Outcome::Refused;
        }
    }
    selectFunction(functionName);
    selectRange(range);
    return Outcome::Done;
}

} // namespace lumodm
