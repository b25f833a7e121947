#include "meter/meter_model.h"

namespace lumodm {

MeterModel meterModelNamed(const QString& designation)
{
    struct Named
    {
        const char* name;
        MeterModel model;
    };
    static const Named kModels[] = {
        {"DM5010", MeterModel::DM5010},
        {"DM5110", MeterModel::DM5110},
        {"DM5120", MeterModel::DM5120},
    };
    for (const Named& named : kModels) {
        if (designation == QLatin1String(named.name)) {
            return named.model;
        }
    }
    return MeterModel::None;
}

std::optional<QString> modelNameFromIdentification(const QString& response)
{
    // Positions counted from 1, 0 when absent.
    const qsizetype slash = response.indexOf(QLatin1Char('/')) + 1;
    const qsizetype comma = response.indexOf(QLatin1Char(',')) + 1;
    const qsizetype length = comma - slash - 1;
    if (length < 0) {
        return std::nullopt;
    }
    return response.mid(slash, length);
}

} // namespace lumodm
