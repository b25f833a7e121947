#include "panel/model_identity.h"

namespace lumodm {

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

std::int16_t modelCodeFor(const QString& modelName)
{
    if (modelName == QLatin1String("DM5010")) {
        return 1;
    }
    if (modelName == QLatin1String("DM5110")) {
        return 2;
    }
    if (modelName == QLatin1String("DM5120")) {
        return 3;
    }
    return 0;
}

} // namespace lumodm
