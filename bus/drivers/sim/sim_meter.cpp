#include "bus/drivers/sim/sim_meter.h"

#include "bus/drivers/sim/sim_number_text.h"

#include <algorithm>
#include <cmath>

namespace lumodm {

namespace {

// A steady demo input per measuring function, with a little noise so a
// running panel shows live digits.
struct DefaultSignal
{
    const char* function;
    double value;
    double noise;
};

constexpr DefaultSignal DefaultSignals[] = {
    {"DCV", 1.5, 5e-5},   {"ACV", 0.7071, 1e-4}, {"OHMS", 1500.0, 0.05}, {"DIODE", 0.6125, 1e-4},
    {"ACDC", 0.75, 1e-4}, {"DCA", 0.0125, 2e-6}, {"ACA", 0.005, 2e-6},
};

constexpr std::uint64_t DefaultSeed = 5010;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

QByteArray trimmed(const QByteArray& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isBlank(text[first])) {
        ++first;
    }
    while (last > first && isBlank(text[last - 1])) {
        --last;
    }
    return text.mid(first, last - first);
}

} // namespace

SimulatedMeter::SimulatedMeter(const SimModel& model)
    : model_(model), function_(&model.functions.front())
{
    for (const SimFunction& function : model_.functions) {
        if (function.base != function.name) {
            continue;
        }
        SignalSource source;
        for (const DefaultSignal& d : DefaultSignals) {
            if (function.name == d.function) {
                source.set(d.value, d.noise);
            }
        }
        signals_.emplace_back(function.name, source);
    }
    seedNoise(DefaultSeed);
    restoreDefaults();
}

QByteArray SimulatedMeter::identity() const
{
    return "ID LUMO/" + model_.name + ",V79.1 F1.1";
}

void SimulatedMeter::restoreDefaults()
{
    selectFunction("DCV");
    dbm_ = false;
}

bool SimulatedMeter::setSignal(const QByteArray& function, double value, double noise)
{
    SignalSource* source = signal(function);
    if (source == nullptr) {
        return false;
    }
    source->set(value, noise);
    return true;
}

SignalSource* SimulatedMeter::signal(const QByteArray& function)
{
    for (auto& [name, source] : signals_) {
        if (name == function) {
            return &source;
        }
    }
    return nullptr;
}

void SimulatedMeter::seedNoise(std::uint64_t seed)
{
    for (std::size_t i = 0; i < signals_.size(); ++i) {
        signals_[i].second.reseed(seed * 31 + i);
    }
}

bool SimulatedMeter::selectFunction(const QByteArray& name)
{
    const SimFunction* function = model_.find(name);
    if (function == nullptr) {
        return false;
    }
    function_ = function;
    range_ = 0;
    return true;
}

bool SimulatedMeter::selectRange(int range)
{
    if (range < 0 || range > rangeCount()) {
        return false;
    }
    range_ = range;
    return true;
}

double SimulatedMeter::fullScale(int range) const
{
    const std::vector<double>& ranges = model_.rangesOf(*function_).ranges;
    if (range < 1 || range > static_cast<int>(ranges.size())) {
        return 0.0;
    }
    return ranges[static_cast<std::size_t>(range - 1)];
}

SimulatedMeter::Measurement SimulatedMeter::measure()
{
    Measurement m;
    SignalSource* source = signal(function_->base);
    const double input = source != nullptr ? source->sample() : 0.0;
    const double magnitude = std::fabs(input);
    const int count = static_cast<int>(model_.rangesOf(*function_).ranges.size());
    if (range_ > 0) {
        m.range = range_;
        m.overRange = !(magnitude < fullScale(range_));
    } else {
        // Automatic: the lowest range the input fits, else over the top one.
        m.range = count;
        m.overRange = true;
        for (int r = 1; r <= count; ++r) {
            if (magnitude < fullScale(r)) {
                m.range = r;
                m.overRange = false;
                break;
            }
        }
    }
    m.value = level(input);
    return m;
}

double SimulatedMeter::level(double input) const
{
    SimDecibel decibel = function_->decibel;
    if (dbm_ && (function_->name == "DCV" || function_->name == "ACV")) {
        decibel = SimDecibel::Dbm;
    }
    // No logarithm of zero: a dead input reads as a very low level.
    const double magnitude = std::max(std::fabs(input), 1e-12);
    switch (decibel) {
    case SimDecibel::None:
        return input;
    case SimDecibel::Dbm:
        return 20.0 * std::log10(magnitude / std::sqrt(0.6));
    case SimDecibel::Dbv:
    case SimDecibel::RelativeOne:
        return 20.0 * std::log10(magnitude);
    }
    return input;
}

QByteArray SimulatedMeter::readingText(const Measurement& measurement) const
{
    if (measurement.overRange) {
        return simOverRangeText();
    }
    return simReadingText(measurement.value, model_.significantDigits);
}

void SimulatedMeter::handleMessage(const QByteArray& message)
{
    QByteArray answer;
    // Units of a message are separated by ';'; letters count in any case.
    const QList<QByteArray> units = message.toUpper().split(';');
    for (const QByteArray& raw : units) {
        const QByteArray unit = trimmed(raw);
        if (unit.isEmpty()) {
            continue;
        }
        QByteArray unitAnswer;
        Outcome outcome = commonCommand(unit, unitAnswer);
        if (outcome == Outcome::Unknown) {
            outcome = modelCommand(unit, unitAnswer);
        }
        if (outcome == Outcome::Unknown) {
            refuse(CommandError);
        } else if (outcome == Outcome::Refused) {
            refuse(ExecutionError);
        }
        if (!unitAnswer.isEmpty()) {
            if (!answer.isEmpty() && !answer.endsWith(';')) {
                answer += ';';
            }
            answer += unitAnswer;
        }
    }
    if (!answer.isEmpty()) {
        sendAnswer(answer);
    }
}

SimulatedMeter::Outcome SimulatedMeter::commonCommand(const QByteArray& unit, QByteArray& answer)
{
    if (unit == "ID?") {
        answer = identity();
        return Outcome::Done;
    }
    if (unit == "SEND") {
        answer = readingText(measure());
        return Outcome::Done;
    }
    if (unit == "INIT") {
        restoreDefaults();
        return Outcome::Done;
    }
    if (model_.find(unit) != nullptr) {
        selectFunction(unit);
        return Outcome::Done;
    }
    return Outcome::Unknown;
}

void SimulatedMeter::refuse(std::uint8_t code)
{
    // The first error stays until the controller polls it.
    if (status_ == 0) {
        status_ = code;
    }
}

std::uint8_t SimulatedMeter::takeStatusByte()
{
    return std::exchange(status_, std::uint8_t{0});
}

} // namespace lumodm
