#include "bus/drivers/sim/sim_model.h"

namespace lumodm {

namespace {

// The DM5010 and the DM5110 share their voltage and resistance ranges.
std::vector<double> decadeVolts()
{
    return {0.2, 2, 20, 200, 1000};
}

std::vector<double> decadeOhms()
{
    return {200, 2e3, 2e4, 2e5, 2e6, 2e7};
}

SimFunction plain(const char* name, std::vector<double> ranges)
{
    return SimFunction{name, name, SimDecibel::None, std::move(ranges)};
}

SimFunction decibel(const char* name, const char* base, SimDecibel kind)
{
    return SimFunction{name, base, kind, {}};
}

} // namespace

const SimFunction* SimModel::find(const QByteArray& wanted) const
{
    for (const SimFunction& function : functions) {
        if (function.name == wanted) {
            return &function;
        }
    }
    return nullptr;
}

const SimFunction& SimModel::rangesOf(const SimFunction& function) const
{
    if (function.ranges.empty()) {
        if (const SimFunction* base = find(function.base)) {
            return *base;
        }
    }
    return function;
}

const SimModel& simDm5010Model()
{
    // The diode test reads the forward voltage on a fixed 2 V scale.
    static const SimModel model{"DM5010",
                                6,
                                {plain("DCV", decadeVolts()), plain("ACV", decadeVolts()),
                                 plain("OHMS", decadeOhms()), plain("DIODE", {2}),
                                 plain("ACDC", decadeVolts())}};
    return model;
}

const SimModel& simDm5110Model()
{
    static const SimModel model{
        "DM5110",
        6,
        {plain("DCV", decadeVolts()), plain("ACV", decadeVolts()), plain("OHMS", decadeOhms()),
         plain("DCA", {0.0002, 0.002, 0.02, 0.2, 2}), plain("ACA", {0.0002, 0.002, 0.02, 0.2, 2}),
         decibel("DBM", "ACV", SimDecibel::Dbm), decibel("DBV", "ACV", SimDecibel::Dbv)}};
    return model;
}

const SimModel& simDm5120Model()
{
    static const std::vector<double> volts{0.3, 3, 30, 300};
    static const std::vector<double> ohms{300, 3e3, 3e4, 3e5, 3e6, 3e7, 3e8};
    static const std::vector<double> amperes{0.0003, 0.003, 0.03, 0.3, 3};
    static const SimModel model{"DM5120",
                                7,
                                {plain("DCV", volts), plain("ACV", volts), plain("OHMS", ohms),
                                 plain("DCA", amperes), plain("ACA", amperes),
                                 decibel("ACVDB", "ACV", SimDecibel::RelativeOne),
                                 decibel("ACADB", "ACA", SimDecibel::RelativeOne)}};
    return model;
}

const std::vector<const SimModel*>& simModels()
{
    static const std::vector<const SimModel*> models{&simDm5010Model(), &simDm5110Model(),
                                                     &simDm5120Model()};
    return models;
}

const SimModel* findSimModel(const QString& name)
{
    for (const SimModel* model : simModels()) {
        if (name.compare(QString::fromLatin1(model->name), Qt::CaseInsensitive) == 0) {
            return model;
        }
    }
    return nullptr;
}

} // namespace lumodm
