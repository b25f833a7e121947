#include "bus/drivers/sim/sim_dm51x0.h"

namespace lumodm {

namespace {

// A plain decimal number, no sign, at most a few digits; -1 otherwise.
int smallNumber(const QByteArray& text)
{
    if (text.isEmpty() || text.size() > 4) {
        return -1;
    }
    int number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return -1;
        }
        number = number * 10 + (c - '0');
    }
    return number;
}

} // namespace

Dm51x0Meter::Dm51x0Meter(const SimModel& model) : SimulatedMeter(model) {}

SimulatedMeter::Outcome Dm51x0Meter::modelCommand(const QByteArray& unit, QByteArray& answer)
{
    if (unit == "FUNCT?") {
        answer = "FUNCT " + function() + ';';
        return Outcome::Done;
    }
    if (unit == "RANGE?") {
        answer = "RANGE " + QByteArray::number(range()) + ';';
        return Outcome::Done;
    }
    if (unit.startsWith("RANGE")) {
        const int range = smallNumber(unit.mid(5).trimmed());
        return range >= 0 && selectRange(range) ? Outcome::Done : Outcome::Refused;
    }
    if (unit.startsWith("FUNCT ")) {
        return selectFunction(unit.mid(6).trimmed()) ? Outcome::Done : Outcome::Refused;
    }
    return Outcome::Unknown;
}

} // namespace lumodm
