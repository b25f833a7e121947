#include "platform/settings_file.h"

#include "platform/checked_file.h"

#include <QCoreApplication>
#include <QSet>
#include <QStandardPaths>
#include <cstdio>
#include <mutex>

namespace lumodm {

QString userSettingsFile(const QString& application, const QString& name)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + application + QLatin1Char('/') + name + QStringLiteral(".ini");
}

bool settingsFileUsable(const QString& file)
{
    const FileCheck check = checkReadableFile(file, file_limits::kSettingsFile);
    if (check.state != FileCheck::State::Unusable) {
        return true;
    }
    // Once per file: the settings are read key by key.
    static std::mutex mutex;
    static QSet<QString> told;
    const std::lock_guard<std::mutex> lock(mutex);
    if (!told.contains(file)) {
        told.insert(file);
        const QString program = QCoreApplication::applicationName();
        const QByteArray line = ((program.isEmpty() ? QString() : program + QStringLiteral(": ")) +
                                 check.reason + QStringLiteral("; its settings are not used\n"))
                                    .toUtf8();
        std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
        std::fflush(stderr);
    }
    return false;
}

} // namespace lumodm
