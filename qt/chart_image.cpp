#include "qt/chart_image.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgGenerator>
#include <QWidget>

namespace lumodm {

bool writeChartImage(QWidget& view, const QString& path, const QString& format,
                     const QString& title)
{
    if (format != QLatin1String("svg")) {
        return view.grab().save(path, "PNG");
    }
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(view.size());
    svg.setViewBox(QRect(QPoint(0, 0), view.size()));
    svg.setTitle(title);
    QPainter painter;
    if (!painter.begin(&svg)) {
        return false;
    }
    view.render(&painter);
    return painter.end();
}

} // namespace lumodm
