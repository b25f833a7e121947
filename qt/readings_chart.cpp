#include "qt/readings_chart.h"

#include "readings/chart_ticks.h"
#include "readings/readings_view_model.h"

#include <QDateTime>
#include <QMouseEvent>
#include <QPushButton>
#include <QRubberBand>
#include <QWheelEvent>
#include <QtCharts/QChart>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

namespace lumodm {

namespace {

constexpr std::size_t kMaxColumns = 4096;
constexpr double kWheelStep = 0.8;       // the span a notch of the wheel leaves
constexpr int kSmallestBox = 4;          // pixels: a box narrower is a click
constexpr double kDateLimitMs = 8.64e15; // the milliseconds a QDateTime holds

QDateTime dateTime(double msecsSinceEpoch)
{
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(
        std::llround(std::clamp(msecsSinceEpoch, -kDateLimitMs, kDateLimitMs))));
}

// Each change of an axis costs the chart a layout: only what changed is set.
void applyTicks(QValueAxis& axis, const ValueAxisTicks& ticks)
{
    if (axis.min() != ticks.low || axis.max() != ticks.high) {
        axis.setRange(ticks.low, ticks.high);
    }
    if (axis.tickCount() != ticks.count) {
        axis.setTickCount(ticks.count);
    }
    if (axis.tickType() != QValueAxis::TicksFixed) {
        axis.setTickType(QValueAxis::TicksFixed);
    }
    if (axis.labelFormat() != ticks.labelFormat) {
        axis.setLabelFormat(ticks.labelFormat);
    }
    if (axis.titleText() != ticks.unit) {
        axis.setTitleText(ticks.unit);
    }
}

void applyTicks(QDateTimeAxis& axis, const TimeAxisTicks& ticks)
{
    const QDateTime from = dateTime(ticks.from);
    const QDateTime to = dateTime(ticks.to);
    if (axis.min() != from || axis.max() != to) {
        axis.setRange(from, to);
    }
    if (axis.tickCount() != ticks.count) {
        axis.setTickCount(ticks.count);
    }
    if (axis.format() != ticks.format) {
        axis.setFormat(ticks.format);
    }
}

// A view the user put the values in: the range as asked, the ticks on
// round values inside it.
void applyHeldTicks(QValueAxis& axis, const ValueAxisTicks& ticks, double low, double high)
{
    if (axis.min() != low || axis.max() != high) {
        axis.setRange(low, high);
    }
    const double interval = (ticks.high - ticks.low) / std::max(ticks.count - 1, 1);
    if (axis.tickType() != QValueAxis::TicksDynamic) {
        axis.setTickType(QValueAxis::TicksDynamic);
    }
    if (axis.tickAnchor() != ticks.low || axis.tickInterval() != interval) {
        axis.setTickAnchor(ticks.low);
        axis.setTickInterval(interval);
    }
    if (axis.labelFormat() != ticks.labelFormat) {
        axis.setLabelFormat(ticks.labelFormat);
    }
    if (axis.titleText() != ticks.unit) {
        axis.setTitleText(ticks.unit);
    }
}

// Each column a stroke from its lowest to its highest reading, begun at
// the end nearer the last column's so the join between them is short.
void addColumn(QList<QPointF>& points, double x, const ColumnExtremes& column)
{
    const bool downward = !points.isEmpty() && std::fabs(points.back().y() - column.maximum) <
                                                   std::fabs(points.back().y() - column.minimum);
    points.append(QPointF(x, downward ? column.maximum : column.minimum));
    if (column.maximum != column.minimum) {
        points.append(QPointF(x, downward ? column.minimum : column.maximum));
    }
}

} // namespace

ReadingsChart::ReadingsChart(const ReadingsViewModel& model, QWidget* parent)
    : QChartView(parent), model_(model)
{
    setObjectName(QStringLiteral("Chart"));
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    timeAxis_ = new QDateTimeAxis;
    timeAxis_->setFormat(QStringLiteral("hh:mm:ss"));
    valueAxis_ = new QValueAxis;
    chart->addAxis(timeAxis_, Qt::AlignBottom);
    chart->addAxis(valueAxis_, Qt::AlignLeft);
    setChart(chart);
    setMinimumHeight(120);
    setToolTip(QStringLiteral("Wheel: zoom in time about the pointer (Ctrl+wheel: the values)\n"
                              "Drag: zoom into a box\n"
                              "Shift+drag or the middle button: pan\n"
                              "Double-click: the whole run"));
    box_ = new QRubberBand(QRubberBand::Rectangle, viewport());
    follow_ = new QPushButton(QStringLiteral("Follo&w"), this);
    follow_->setObjectName(QStringLiteral("Button_Follow"));
    follow_->setCheckable(true);
    follow_->setChecked(true);
    follow_->setAutoDefault(false);
    follow_->setToolTip(QStringLiteral("Shows the newest readings and keeps up with them; "
                                       "a zoom or a pan stops it"));
    connect(follow_, &QPushButton::clicked, this, [this](bool on) {
        on ? view_.follow() : view_.stopFollowing();
        viewChanged();
    });
}

void ReadingsChart::setDark(bool dark)
{
    const QChart::ChartTheme theme = dark ? QChart::ChartThemeDark : QChart::ChartThemeLight;
    if (chart()->theme() == theme) {
        return;
    }
    chart()->setTheme(theme);
    for (const auto& [start, line] : series_) {
        setThinPen(*line);
    }
}

void ReadingsChart::showControls(bool shown)
{
    follow_->setVisible(shown);
}

void ReadingsChart::setThinPen(QLineSeries& line)
{
    QPen pen = line.pen(); // the theme's colour
    pen.setWidth(1);
    line.setPen(pen);
}

// The chart keeps one series per series of the model, which only adds
// new ones at the end until a Reset empties it.
void ReadingsChart::syncSeries()
{
    const std::deque<ReadingSeries>& series = model_.series();
    while (!series_.empty() &&
           (series_.size() > series.size() || series_.front().first != series.front().firstTime)) {
        chart()->removeSeries(series_.front().second);
        delete series_.front().second;
        series_.pop_front();
    }
    for (std::size_t i = series_.size(); i < series.size(); ++i) {
        auto* line = new QLineSeries;
        line->setName(series[i].functionCode + QStringLiteral(" (") + series[i].unit +
                      QLatin1Char(')'));
        // A one-pixel pen draws without stroking the outline: a fraction of
        // the cost of the default width at thousands of points.
        chart()->addSeries(line);
        setThinPen(*line);
        line->attachAxis(timeAxis_);
        line->attachAxis(valueAxis_);
        series_.emplace_back(series[i].firstTime, line);
        // Qt Charts 6.4 leaves a time axis that was shown without a series
        // unlabelled until it is shown afresh.
        timeAxis_->hide();
        timeAxis_->show();
    }
}

void ReadingsChart::draw()
{
    syncSeries();
    const std::deque<ReadingSeries>& series = model_.series();
    const MinMaxPyramid& store = model_.history();
    if (series.empty()) {
        view_.reset();
        follow_->setChecked(true);
        return;
    }
    view_.setData(store.firstTime(), store.lastTime());
    const QRectF plot = chart()->plotArea();
    const auto [viewFrom, viewTo] = view_.time();
    const double wantedTimes = std::clamp(plot.width() / 110.0, 2.0, 8.0);
    const int offset = dateTime(1e3 * viewFrom).offsetFromUtc();
    // Following, the axis ends on round times; a view the user chose stays
    // as chosen, or every zoom would widen it again.
    const TimeAxisTicks times =
        view_.following()
            ? timeAxisTicks(1e3 * viewFrom, 1e3 * viewTo, static_cast<int>(wantedTimes), offset)
            : timeAxisTicksWithin(1e3 * viewFrom, 1e3 * viewTo, static_cast<int>(wantedTimes),
                                  offset);
    const double from = times.from / 1e3;
    const double to = times.to / 1e3;

    // A column per pixel of the screen.
    const auto columns = static_cast<std::size_t>(
        std::clamp(plot.width() * devicePixelRatioF(), 1.0, 1.0 * kMaxColumns));
    const double columnMs = (times.to - times.from) / static_cast<double>(columns);
    // One value axis in one base unit: series in another unit wait hidden,
    // and values held in the other unit mean nothing in this one.
    const QString& unit = series.back().unit;
    if (unit != unit_) {
        unit_ = unit;
        view_.fitValues();
    }
    std::vector<QList<QPointF>> points(series.size());
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (std::size_t i = 0; i < series.size(); ++i) {
        const double until =
            i + 1 < series.size() ? series[i + 1].firstTime : MinMaxPyramid::kForever;
        if (series[i].unit != unit || series[i].firstTime > to || until < from) {
            continue;
        }
        const std::vector<ColumnExtremes> extremes =
            store.columns(from, to, columns, series[i].firstTime, until);
        points[i].reserve(static_cast<qsizetype>(2 * columns));
        for (std::size_t c = 0; c < extremes.size(); ++c) {
            if (extremes[c].present) {
                addColumn(points[i], times.from + (static_cast<double>(c) + 0.5) * columnMs,
                          extremes[c]);
                low = std::min(low, extremes[c].minimum);
                high = std::max(high, extremes[c].maximum);
            }
        }
    }
    // The values axis shows a prefixed unit: the points are drawn in it.
    const double wantedValues = std::clamp(plot.height() / 40.0, 3.0, 10.0);
    const std::optional<std::pair<double, double>> held = view_.values();
    const bool ranged = held || (low <= high && std::isfinite(high - low));
    ValueAxisTicks ticks;
    if (held) {
        // Twice the ticks: the held range is not widened to them, so only
        // those inside it show.
        ticks = valueAxisTicks(held->first, held->second, static_cast<int>(2 * wantedValues), unit);
    } else if (ranged) {
        const double pad =
            high > low ? 0.05 * (high - low) : std::max(std::fabs(high) * 1e-3, 1e-9);
        ticks = valueAxisTicks(low - pad, high + pad, static_cast<int>(wantedValues), unit);
    }
    if (ticks.scale != 1.0) {
        for (QList<QPointF>& list : points) {
            for (QPointF& point : list) {
                point.ry() *= ticks.scale;
            }
        }
    }
    // Each change of points or range costs the chart a pass over every
    // point: only what changed is handed over.
    for (std::size_t i = 0; i < series.size(); ++i) {
        QLineSeries* line = series_[i].second;
        const bool shown = series[i].unit == unit;
        if (line->isVisible() != shown) {
            line->setVisible(shown);
        }
        if (line->points() != points[i]) {
            line->replace(points[i]);
        }
    }
    applyTicks(*timeAxis_, times);
    if (held) {
        applyHeldTicks(*valueAxis_, ticks, held->first * ticks.scale, held->second * ticks.scale);
    } else if (ranged) {
        applyTicks(*valueAxis_, ticks);
    }
    // Nothing in view keeps the axis, and the scale it is drawn in.
    valueScale_ = ranged ? ticks.scale : valueScale_;
    view_.setShown(from, to, valueAxis_->min() / valueScale_, valueAxis_->max() / valueScale_);
    follow_->setChecked(view_.following());
    placeFollow();
}

// Above the plot's right end, where it hides no reading.
void ReadingsChart::placeFollow()
{
    const QRectF plot = chart()->plotArea();
    const QPoint corner = mapFromScene(plot.topRight());
    follow_->adjustSize();
    follow_->move(std::min(corner.x(), width()) - follow_->width(),
                  std::max(corner.y() - follow_->height() - 3, 2));
}

QPointF ReadingsChart::onPlot(const QPointF& viewPoint) const
{
    const QRectF plot = chart()->plotArea();
    const QPointF at = chart()->mapFromScene(mapToScene(viewPoint.toPoint()));
    return {(at.x() - plot.left()) / std::max(plot.width(), 1.0),
            (plot.bottom() - at.y()) / std::max(plot.height(), 1.0)};
}

void ReadingsChart::viewChanged()
{
    draw();
}

void ReadingsChart::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0.0 || model_.series().empty()) {
        event->ignore();
        return;
    }
    const QPointF at = onPlot(event->position());
    const double factor = std::pow(kWheelStep, notches);
    if (event->modifiers() & Qt::ControlModifier) {
        view_.zoomValues(factor, at.y());
    } else {
        view_.zoomTime(factor, at.x());
    }
    event->accept();
    viewChanged();
}

void ReadingsChart::mousePressEvent(QMouseEvent* event)
{
    const bool pan =
        event->button() == Qt::MiddleButton ||
        (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier));
    if (pan) {
        panFrom_ = onPlot(event->position());
        viewport()->setCursor(Qt::ClosedHandCursor);
    } else if (event->button() == Qt::LeftButton) {
        boxOrigin_ = event->position().toPoint();
        box_->setGeometry(QRect(boxOrigin_, QSize()));
        box_->show();
    } else {
        QChartView::mousePressEvent(event);
        return;
    }
    event->accept();
}

void ReadingsChart::mouseMoveEvent(QMouseEvent* event)
{
    if (panFrom_) {
        const QPointF at = onPlot(event->position());
        view_.pan(at.x() - panFrom_->x(), at.y() - panFrom_->y());
        panFrom_ = at;
        viewChanged();
    } else if (box_->isVisible()) {
        box_->setGeometry(QRect(boxOrigin_, event->position().toPoint()).normalized());
    } else {
        QChartView::mouseMoveEvent(event);
        return;
    }
    event->accept();
}

void ReadingsChart::mouseReleaseEvent(QMouseEvent* event)
{
    if (panFrom_) {
        panFrom_.reset();
        viewport()->unsetCursor();
    } else if (box_->isVisible()) {
        box_->hide();
        const QRect box = QRect(boxOrigin_, event->position().toPoint()).normalized();
        if (box.width() >= kSmallestBox && box.height() >= kSmallestBox &&
            !model_.series().empty()) {
            const QPointF a = onPlot(box.bottomLeft());
            const QPointF b = onPlot(box.topRight());
            view_.zoomToBox(a.x(), b.x(), a.y(), b.y());
            viewChanged();
        }
    } else {
        QChartView::mouseReleaseEvent(event);
        return;
    }
    event->accept();
}

void ReadingsChart::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QChartView::mouseDoubleClickEvent(event);
        return;
    }
    view_.reset();
    event->accept();
    viewChanged();
}

void ReadingsChart::resizeEvent(QResizeEvent* event)
{
    QChartView::resizeEvent(event);
    placeFollow();
}

} // namespace lumodm
