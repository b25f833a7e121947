#include "qt/save_file_choice.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace lumodm {

QString filterExtension(const QString& filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    return pattern.match(filter).captured(1).toLower();
}

SaveFileChoice saveFileChoice(const QString& typed, const QString& filters,
                              const QString& chosenFilter)
{
    QString chosen = filterExtension(chosenFilter);
    if (chosen.isEmpty()) {
        chosen = filterExtension(filters);
    }
    const QString suffix = QFileInfo(typed).suffix().toLower();
    if (suffix.isEmpty()) {
        const bool dotted = typed.endsWith(QLatin1Char('.'));
        return {chosen.isEmpty() || dotted ? typed + chosen : typed + QLatin1Char('.') + chosen,
                chosen};
    }
    for (const QString& filter : filters.split(QStringLiteral(";;"))) {
        if (filterExtension(filter) == suffix) {
            return {typed, suffix};
        }
    }
    return {typed, chosen};
}

} // namespace lumodm
