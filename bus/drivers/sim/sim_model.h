#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace lumodm {

// How a dB function turns the level of its base function into its reading.
enum class SimDecibel {
    None,
    Dbm,        // 20 log10(V / 0.7746 V): 1 mW into 600 ohms
    Dbv,        // 20 log10(V / 1 V)
    RelativeOne // 20 log10(x / 1 unit), the DM5120's dB of volts or amperes
};

// One measurement function of one model.
struct SimFunction
{
    QByteArray name; // the command that selects it and the code reported
    QByteArray base; // whose signal it measures: itself, or "ACV"/"ACA" for dB
    SimDecibel decibel = SimDecibel::None;
    std::vector<double>
        ranges; // full scales in base units, lowest first; empty: the base's, automatic only
};

// What differs between the models.
struct SimModel
{
    QByteArray name;       // "DM5010"
    int significantDigits; // of a reading's mantissa
    std::vector<SimFunction> functions;

    const SimFunction* find(const QByteArray& name) const;
    // The function whose ranges a function measures with (itself or its base).
    const SimFunction& rangesOf(const SimFunction& function) const;
};

const SimModel& simDm5010Model();
const SimModel& simDm5110Model();
const SimModel& simDm5120Model();
// Every simulated model, in the order of their names.
const std::vector<const SimModel*>& simModels();
// By name, any letter case; nullptr for an unknown model.
const SimModel* findSimModel(const QString& name);

} // namespace lumodm
