#include "qt/readings_chart.h"

#include "readings/chart_ticks.h"
#include "readings/readings_view_model.h"

#include <QDateTime>
#include <QtCharts/QChart>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

namespace lumodm {

namespace {

constexpr int kMaxColumns = 4096;
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

} // namespace

ReadingsChart::ReadingsChart(QWidget* parent) : QChartView(parent)
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

void ReadingsChart::setThinPen(QLineSeries& line)
{
    QPen pen = line.pen(); // the theme's colour
    pen.setWidth(1);
    line.setPen(pen);
}

// The chart keeps one series per series of the model: the model drops the
// oldest and adds new ones at the end.
void ReadingsChart::syncSeries(const ReadingsViewModel& model)
{
    const std::deque<ReadingSeries>& series = model.series();
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

void ReadingsChart::draw(const ReadingsViewModel& model)
{
    syncSeries(model);
    const std::deque<ReadingSeries>& series = model.series();
    std::vector<double> starts;
    for (const ReadingSeries& s : series) {
        starts.push_back(s.firstTime);
    }
    // A column per two pixels: every column's extremes still drawn, half
    // the points for the chart to stroke.
    const double plotWidth = chart()->plotArea().width() / 2.0;
    const auto columns = static_cast<std::size_t>(std::clamp(plotWidth, 1.0, 1.0 * kMaxColumns));
    if (!thinning_.update(model.history(), starts, columns) || series.empty()) {
        return;
    }
    // One value axis in one base unit: series in another unit wait hidden.
    const QString& unit = series.back().unit;
    std::vector<bool> shown;
    for (const ReadingSeries& s : series) {
        shown.push_back(s.unit == unit);
    }
    const double width = thinning_.width();
    std::vector<QList<QPointF>> points(series.size());
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const GridBucket& bucket : thinning_.buckets()) {
        const auto i = static_cast<std::size_t>(
            std::lower_bound(starts.begin(), starts.end(), bucket.series) - starts.begin());
        if (i >= series.size() || !shown[i]) {
            continue;
        }
        const double x = 1000.0 * (static_cast<double>(bucket.column) + 0.5) * width;
        points[i].append(QPointF(x, bucket.minimum));
        if (bucket.maximum != bucket.minimum) {
            points[i].append(QPointF(x, bucket.maximum));
        }
        low = std::min(low, bucket.minimum);
        high = std::max(high, bucket.maximum);
    }
    // The values axis shows a prefixed unit: the points are drawn in it.
    const bool ranged = low <= high && std::isfinite(high - low);
    ValueAxisTicks ticks;
    if (ranged) {
        const double pad =
            high > low ? 0.05 * (high - low) : std::max(std::fabs(high) * 1e-3, 1e-9);
        const double wanted = std::clamp(chart()->plotArea().height() / 40.0, 3.0, 10.0);
        ticks = valueAxisTicks(low - pad, high + pad, static_cast<int>(wanted), unit);
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
        if (line->isVisible() != shown[i]) {
            line->setVisible(shown[i]);
        }
        if (line->points() != points[i]) {
            line->replace(points[i]);
        }
    }
    if (!ranged) {
        return;
    }
    applyTicks(*valueAxis_, ticks);
    const auto msecs = [width](std::int64_t column) {
        return std::clamp(static_cast<double>(column) * width * 1000.0, -kDateLimitMs,
                          kDateLimitMs);
    };
    const double from = msecs(thinning_.firstColumn());
    const double to =
        msecs(thinning_.firstColumn() + static_cast<std::int64_t>(thinning_.columns()));
    const double wanted = std::clamp(chart()->plotArea().width() / 110.0, 2.0, 8.0);
    applyTicks(*timeAxis_,
               timeAxisTicks(from, to, static_cast<int>(wanted), dateTime(from).offsetFromUtc()));
}

} // namespace lumodm
