#include "qt/analysis_view.h"

#include "qt/chart_image.h"
#include "readings/chart_ticks.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSaveFile>
#include <QTabWidget>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QLogValueAxis>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>

namespace lumodm {

namespace {

constexpr int kRefreshMs = 1000;
constexpr int kCurvePoints = 241;
constexpr int kBinTicks = 6;
const double kRootTwoPi = std::sqrt(2.0 * 3.14159265358979323846);

const QString kFilters = QStringLiteral("PNG image (*.png);;SVG image (*.svg);;CSV files (*.csv)");

bool writeText(const QString& path, const QString& text)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0 && file.commit();
}

// A chart's title is markup: the text escaped, a line to each of its lines.
void setTitle(QChart& chart, const QString& text)
{
    chart.setTitle(text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")));
}

// The decades around the values: a log axis labels its powers of ten.
std::pair<double, double> decades(double low, double high)
{
    const double from = std::pow(10.0, std::floor(std::log10(low)));
    const double to = std::pow(10.0, std::ceil(std::log10(high)));
    return {from, to > from ? to : from * 10.0};
}

void setLogAxis(QLogValueAxis& axis, const std::pair<double, double>& range)
{
    if (std::isfinite(range.first) && std::isfinite(range.second) && range.first > 0.0) {
        axis.setRange(range.first, range.second);
    }
}

} // namespace

AnalysisView::AnalysisView(const ReadingAnalysis& analysis, QTabWidget& tabs,
                           ExportDialog exportDialog)
    : QObject(&tabs), analysis_(&analysis), exportDialog_(std::move(exportDialog))
{
    auto* corner = new QWidget;
    auto* buttons = new QHBoxLayout(corner);
    buttons->setContentsMargins(0, 0, 0, 0);
    tabs.setCornerWidget(corner, Qt::TopRightCorner);
    histogramPage_ =
        addPage(tabs, {QStringLiteral("H&istogram"), "Chart_Histogram",
                       QStringLiteral("Export histogra&m..."), "Button_ExportHistogram",
                       QStringLiteral("Saves the histogram as a PNG or SVG image, or its bins as "
                                      "a CSV file"),
                       QStringLiteral("Export histogram"), &AnalysisView::exportHistogram});
    allanPage_ = addPage(
        tabs, {QStringLiteral("&Allan deviation"), "Chart_AllanDeviation",
               QStringLiteral("Export Allan de&viation..."), "Button_ExportAllanDeviation",
               QStringLiteral("Saves the Allan deviation as a PNG or SVG image, or its points as "
                              "a CSV file"),
               QStringLiteral("Export Allan deviation"), &AnalysisView::exportAllanDeviation});
    buildHistogram();
    buildAllanDeviation();
    stylePens();
    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, &AnalysisView::refresh);
}

// A page is its chart; its export button sits in the tab bar's corner,
// shown with the page, so that the pages take no more height than the
// trend chart.
AnalysisView::Page AnalysisView::addPage(QTabWidget& tabs, const PageNames& names)
{
    Page page;
    page.chart = new QChart;
    page.view = new QChartView(page.chart);
    page.view->setObjectName(QLatin1String(names.chart));
    // The title tells what the chart is over in a few lines: not in bold,
    // so that they fit.
    QFont title = page.chart->titleFont();
    title.setBold(false);
    page.chart->setTitleFont(title);
    page.exportButton = new QPushButton(names.button);
    page.exportButton->setObjectName(QLatin1String(names.buttonName));
    page.exportButton->setAutoDefault(false);
    page.exportButton->setToolTip(names.tip);
    page.exportButton->hide();
    tabs.cornerWidget()->layout()->addWidget(page.exportButton);
    tabs.addTab(page.view, names.tab);
    page.view->installEventFilter(this);
    connect(page.exportButton, &QPushButton::clicked, this,
            [this, title = names.exportTitle, write = names.write] {
                exportDialog_(title, kFilters, [this, write](const SaveFileChoice& c) {
                    return (this->*write)(c.path, c.format);
                });
            });
    return page;
}

void AnalysisView::buildHistogram()
{
    QChart& chart = *histogramPage_.chart;
    auto* upper = new QLineSeries;
    bars_ = new QAreaSeries(upper);
    upper->setParent(bars_); // an area series does not own its lines
    bars_->setName(QStringLiteral("readings"));
    normal_ = new QLineSeries;
    normal_->setName(QStringLiteral("normal distribution"));
    binAxis_ = new QValueAxis;
    countAxis_ = new QValueAxis;
    countAxis_->setLabelFormat(QStringLiteral("%.0f"));
    countAxis_->setTitleText(QStringLiteral("readings"));
    chart.addAxis(binAxis_, Qt::AlignBottom);
    chart.addAxis(countAxis_, Qt::AlignLeft);
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(bars_), static_cast<QAbstractSeries*>(normal_)}) {
        chart.addSeries(series);
        series->attachAxis(binAxis_);
        series->attachAxis(countAxis_);
    }
    chart.legend()->setAlignment(Qt::AlignBottom);
}

void AnalysisView::buildAllanDeviation()
{
    QChart& chart = *allanPage_.chart;
    allanLine_ = new QLineSeries;
    allanPoints_ = new QScatterSeries;
    allanPoints_->setMarkerSize(7.0);
    tauAxis_ = new QLogValueAxis;
    tauAxis_->setTitleText(QStringLiteral("\u03C4 (s)"));
    deviationAxis_ = new QLogValueAxis;
    for (QLogValueAxis* axis : {tauAxis_, deviationAxis_}) {
        axis->setLabelFormat(QStringLiteral("%g"));
        axis->setMinorTickCount(8);
    }
    chart.addAxis(tauAxis_, Qt::AlignBottom);
    chart.addAxis(deviationAxis_, Qt::AlignLeft);
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(allanLine_), static_cast<QAbstractSeries*>(allanPoints_)}) {
        chart.addSeries(series);
        series->attachAxis(tauAxis_);
        series->attachAxis(deviationAxis_);
    }
    chart.legend()->hide();
}

void AnalysisView::setTheme(QChart::ChartTheme theme)
{
    if (histogramPage_.chart->theme() == theme) {
        return;
    }
    for (QChart* chart : {histogramPage_.chart, allanPage_.chart}) {
        const QFont title = chart->titleFont(); // a theme sets its own
        chart->setTheme(theme);
        chart->setTitleFont(title);
    }
    stylePens();
}

// A theme sets every series' pen afresh: the curve stands out from the bars.
void AnalysisView::stylePens()
{
    QPen curve = normal_->pen();
    curve.setWidth(2);
    normal_->setPen(curve);
    allanPoints_->setColor(allanLine_->color());
}

bool AnalysisView::eventFilter(QObject* watched, QEvent* event)
{
    const bool shown = event->type() == QEvent::Show;
    if (shown || event->type() == QEvent::Hide) {
        for (Page* page : {&histogramPage_, &allanPage_}) {
            if (watched == page->view) {
                page->exportButton->setVisible(shown);
            }
        }
    }
    if (shown) {
        refresh();
        timer_.start();
    } else if (event->type() == QEvent::Hide && !histogramPage_.view->isVisible() &&
               !allanPage_.view->isVisible()) {
        timer_.stop();
    }
    return QObject::eventFilter(watched, event);
}

void AnalysisView::setAnalysis(const ReadingAnalysis& analysis)
{
    analysis_ = &analysis;
    histogramPage_.drawn.reset();
    allanPage_.drawn.reset();
    refresh();
}

void AnalysisView::refresh()
{
    if (histogramPage_.view->isVisible() && histogramPage_.drawn != analysis_->revision()) {
        drawHistogram();
    }
    if (allanPage_.view->isVisible() && allanPage_.drawn != analysis_->revision()) {
        drawAllanDeviation();
    }
}

// The bars as one outline of steps over the bins, in the unit the axis
// shows; the normal curve as the count a bin of the same width would hold.
void AnalysisView::drawHistogram()
{
    histogramPage_.drawn = analysis_->revision();
    histogram_ = analysis_->histogram();
    const Histogram& h = histogram_.histogram;
    setTitle(*histogramPage_.chart, histogram_.text);
    QList<QPointF> steps;
    QList<QPointF> curve;
    double low = h.start;
    double high = h.start + h.width * static_cast<double>(h.counts.size());
    if (!(high > low)) { // one value: a bar in the middle
        const double pad = std::max(std::fabs(low) * 1e-3, 1e-9);
        low -= pad;
        high += pad;
    }
    const ValueAxisTicks ticks = valueAxisTicks(low, high, kBinTicks, histogram_.unit);
    double tallest = 1.0;
    for (std::size_t i = 0; i < h.counts.size(); ++i) {
        const double from =
            h.width > 0.0 ? h.start + h.width * static_cast<double>(i) : 0.8 * low + 0.2 * high;
        const double to = h.width > 0.0 ? from + h.width : 0.2 * low + 0.8 * high;
        const auto count = static_cast<double>(h.counts[i]);
        if (i == 0) {
            steps.append(QPointF(from * ticks.scale, 0.0));
        }
        steps.append(QPointF(from * ticks.scale, count));
        steps.append(QPointF(to * ticks.scale, count));
        tallest = std::max(tallest, count);
    }
    if (!steps.isEmpty()) {
        steps.append(QPointF(steps.back().x(), 0.0));
    }
    if (h.deviation > 0.0 && h.width > 0.0) {
        const double perBin = static_cast<double>(h.total) * h.width;
        for (int i = 0; i < kCurvePoints; ++i) {
            const double x = ticks.low / ticks.scale +
                             (ticks.high - ticks.low) / ticks.scale * i / (kCurvePoints - 1);
            const double z = (x - h.mean) / h.deviation;
            const double y = perBin * std::exp(-0.5 * z * z) / (h.deviation * kRootTwoPi);
            curve.append(QPointF(x * ticks.scale, y));
            tallest = std::max(tallest, y);
        }
    }
    bars_->upperSeries()->replace(steps);
    normal_->replace(curve);
    binAxis_->setRange(ticks.low, ticks.high);
    binAxis_->setTickCount(ticks.count);
    binAxis_->setLabelFormat(ticks.labelFormat);
    binAxis_->setTitleText(ticks.unit);
    countAxis_->setRange(0.0, tallest * 1.1);
    countAxis_->applyNiceNumbers();
}

void AnalysisView::drawAllanDeviation()
{
    allanPage_.drawn = analysis_->revision();
    allan_ = analysis_->allanDeviation();
    setTitle(*allanPage_.chart, allan_.text);
    deviationAxis_->setTitleText(QStringLiteral("Allan deviation (%1)").arg(allan_.unit));
    QList<QPointF> points;
    double lowTau = INFINITY;
    double highTau = 0.0;
    double lowDeviation = INFINITY;
    double highDeviation = 0.0;
    // A log axis cannot place a deviation of 0: readings all alike.
    for (const AllanPoint& p : allan_.allan.points) {
        if (p.deviation > 0.0 && std::isfinite(p.deviation) && p.tau > 0.0) {
            points.append(QPointF(p.tau, p.deviation));
            lowTau = std::min(lowTau, p.tau);
            highTau = std::max(highTau, p.tau);
            lowDeviation = std::min(lowDeviation, p.deviation);
            highDeviation = std::max(highDeviation, p.deviation);
        }
    }
    allanLine_->replace(points);
    allanPoints_->replace(points);
    if (!points.isEmpty()) {
        setLogAxis(*tauAxis_, decades(lowTau, highTau));
        setLogAxis(*deviationAxis_, decades(lowDeviation, highDeviation));
    }
}

bool AnalysisView::exportHistogram(const QString& path, const QString& format)
{
    if (histogramPage_.drawn != analysis_->revision()) {
        drawHistogram();
    }
    return format == QLatin1String("csv")
               ? writeText(path, histogramCsv(histogram_))
               : writeChartImage(*histogramPage_.view, path, format, histogram_.text);
}

bool AnalysisView::exportAllanDeviation(const QString& path, const QString& format)
{
    if (allanPage_.drawn != analysis_->revision()) {
        drawAllanDeviation();
    }
    return format == QLatin1String("csv")
               ? writeText(path, allanDeviationCsv(allan_))
               : writeChartImage(*allanPage_.view, path, format, allan_.text);
}

} // namespace lumodm
