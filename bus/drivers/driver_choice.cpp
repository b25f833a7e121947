#include "bus/drivers/driver_choice.h"

#include <QStringList>
#include <algorithm>

namespace lumodm {

QString MeterSelection::text() const
{
    QStringList numbers;
    for (const int address : addresses) {
        numbers << QString::number(address);
    }
    const QString list = numbers.join(QLatin1Char(','));
    if (!every) {
        return list;
    }
    return list.isEmpty() ? QStringLiteral("all") : QStringLiteral("all:") + list;
}

bool MeterSelection::parseAddresses(const QString& text, QList<int>* addresses)
{
    QList<int> found;
    const QStringList parts = text.split(QLatin1Char(','));
    // More than every address once is no list of addresses.
    if (parts.size() > 30) {
        return false;
    }
    for (const QString& part : parts) {
        bool ok = false;
        const int n = part.trimmed().toInt(&ok);
        if (!ok || n < 1 || n > 30) {
            return false;
        }
        if (!found.contains(n)) {
            found << n;
        }
    }
    std::sort(found.begin(), found.end());
    *addresses = found;
    return true;
}

MeterSelection MeterSelection::fromText(const QString& text)
{
    MeterSelection selection;
    QString list = text;
    if (list.startsWith(QLatin1String("all"))) {
        selection.every = true;
        list = list.mid(3);
        if (list.startsWith(QLatin1Char(':'))) {
            list = list.mid(1);
        }
    }
    // What does not read as addresses serves the first meter.
    if (!list.isEmpty() && !parseAddresses(list, &selection.addresses)) {
        selection.addresses.clear();
    }
    return selection;
}

} // namespace lumodm
