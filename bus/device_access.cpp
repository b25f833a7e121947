#include "bus/device_access.h"

#include "platform/checked_file.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <unistd.h>

namespace lumodm {

QString deviceAccessHint(const QString& device, const QString& usualGroup, int error)
{
    if (error != EACCES && error != EPERM) {
        return {};
    }
    // A device owned by root's group gives no better name than the usual one.
    QString group = QFileInfo(device).group();
    if (group.isEmpty() || group == QLatin1String("root")) {
        group = usualGroup;
    }
    return QStringLiteral("You may not open %1; the members of the group %2 may.\n"
                          "Add yourself to it with\n"
                          "  sudo usermod -aG %2 $USER\n"
                          "then log out and in again.")
        .arg(clippedForMessage(device), group);
}

int deviceAccessError(const QString& device)
{
    const QByteArray path = QFile::encodeName(device);
    if (::access(path.constData(), F_OK) != 0) {
        return 0;
    }
    return ::access(path.constData(), R_OK | W_OK) == 0 ? 0 : errno;
}

} // namespace lumodm
