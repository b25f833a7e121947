#include "qt/window_capture.h"

#include "platform/checked_file.h"
#include "platform/settings_file.h"
#include "qt/panel_icon.h"

#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTabWidget>
#include <QWidget>

namespace lumodm {

bool saveWidgetImage(QWidget& widget, const QString& file)
{
    return widget.grab().save(file);
}

bool showTabNamed(QWidget& root, const QString& name)
{
    for (QTabWidget* tabs : root.findChildren<QTabWidget*>()) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->tabText(i).remove(QLatin1Char('&')).compare(name, Qt::CaseInsensitive) == 0) {
                tabs->setCurrentIndex(i);
                return true;
            }
        }
    }
    return false;
}

QString copySettingsFile(const QString& userFile, const QString& folder)
{
    const QString copy = QDir(folder).filePath(QStringLiteral("settings.ini"));
    if (!settingsFileUsable(userFile)) {
        return copy;
    }
    const std::optional<QByteArray> bytes =
        readCheckedFile(userFile, file_limits::kSettingsFile, nullptr);
    QFile out(copy);
    if (bytes && out.open(QIODevice::WriteOnly)) {
        out.write(*bytes);
    }
    return copy;
}

bool writeIconFiles(const QString& folder)
{
    if (!QDir().mkpath(folder)) {
        return false;
    }
    const QDir dir(folder);
    for (int size : kIconSizes) {
        const QString name = QStringLiteral("lumodm-%1.png").arg(size);
        if (!drawPanelIcon(size).save(dir.filePath(name))) {
            return false;
        }
    }
    return true;
}

} // namespace lumodm
