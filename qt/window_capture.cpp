#include "qt/window_capture.h"

#include "qt/panel_icon.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

namespace lumodm {

bool saveWidgetImage(QWidget& widget, const QString& file)
{
    return widget.grab().save(file);
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
