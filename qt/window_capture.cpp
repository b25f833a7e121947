#include "qt/window_capture.h"

#include "qt/panel_icon.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QWidget>

namespace lumodm {

bool saveWidgetImage(QWidget& widget, const QString& file)
{
    return widget.grab().save(file);
}

QString copySettingsFile(const QString& userFile, const QString& folder)
{
    const QString copy = QDir(folder).filePath(QStringLiteral("settings.ini"));
    if (QFileInfo(userFile).isFile()) {
        QFile::copy(userFile, copy);
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
