#include "qt/readings_window.h"

#include "panel/panel_link.h"
#include "qt/panel_fonts.h"
#include "readings/chart_ticks.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSvgGenerator>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

namespace lumodm {

namespace {

// A chart redraw at most this often: a run at 0.5 s and a day of history
// stay smooth without costing the processor per reading.
constexpr int kRedrawMs = 250;
constexpr int kMaxColumns = 4096;
constexpr double kDateLimitMs = 8.64e15; // the milliseconds a QDateTime holds

const char* const kFigureNames[] = {"n", "mean", "std", "min", "max", "p-p"};

QPushButton* addButton(QHBoxLayout& row, const QString& text, const char* name)
{
    auto* button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    row.addWidget(button);
    return button;
}

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

ReadingsWindow::ReadingsWindow(PanelLink& panel, PlatformServices& platform, QWidget* parent)
    : QWidget(parent, Qt::Window), panel_(panel), platform_(platform), recorder_(platform)
{
    setObjectName(QStringLiteral("Readings"));
    auto* layout = new QVBoxLayout(this);
    buildReadout(*layout);
    buildChart(*layout);
    buildControls(*layout);
    resize(760, 560);

    auto* toggle = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this);
    connect(toggle, &QShortcut::activated, this, &ReadingsWindow::toggleRequested);
    auto* copy = new QShortcut(QKeySequence::Copy, this);
    connect(copy, &QShortcut::activated, this, [this] {
        if (!model_.copyText().isEmpty()) {
            QGuiApplication::clipboard()->setText(model_.copyText());
        }
    });

    redrawTimer_.setSingleShot(true);
    connect(&redrawTimer_, &QTimer::timeout, this, &ReadingsWindow::redrawChart);
    setMeterName(QString());
    showTexts();
    panel_.addReadingObserver(this);
}

ReadingsWindow::~ReadingsWindow()
{
    panel_.removeReadingObserver(this);
}

void ReadingsWindow::buildReadout(QVBoxLayout& layout)
{
    auto* row = new QHBoxLayout;
    readout_ = new QLabel;
    readout_->setObjectName(QStringLiteral("Readout"));
    readout_->setTextFormat(Qt::PlainText);
    readout_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont digits(bundledSevenSegmentFamily());
    digits.setPixelSize(48);
    readout_->setFont(digits);
    unit_ = new QLabel;
    unit_->setObjectName(QStringLiteral("Unit"));
    unit_->setTextFormat(Qt::PlainText);
    row->addWidget(readout_, 1);
    row->addWidget(unit_);
    layout.addLayout(row);

    auto* notes = new QHBoxLayout;
    note_ = new QLabel;
    note_->setObjectName(QStringLiteral("Note"));
    relative_ = new QLabel;
    relative_->setObjectName(QStringLiteral("Relative"));
    for (QLabel* label : {note_, relative_}) {
        label->setTextFormat(Qt::PlainText);
        notes->addWidget(label);
    }
    notes->addStretch(1);
    layout.addLayout(notes);
}

void ReadingsWindow::buildChart(QVBoxLayout& layout)
{
    chart_ = new QChart;
    chart_->legend()->setAlignment(Qt::AlignBottom);
    timeAxis_ = new QDateTimeAxis;
    timeAxis_->setFormat(QStringLiteral("hh:mm:ss"));
    valueAxis_ = new QValueAxis;
    chart_->addAxis(timeAxis_, Qt::AlignBottom);
    chart_->addAxis(valueAxis_, Qt::AlignLeft);
    chartView_ = new QChartView(chart_);
    chartView_->setObjectName(QStringLiteral("Chart"));
    chartView_->setMinimumHeight(160);
    layout.addWidget(chartView_, 1);
}

void ReadingsWindow::buildControls(QVBoxLayout& layout)
{
    auto* figures = new QHBoxLayout;
    for (std::size_t i = 0; i < figures_.size(); ++i) {
        figures->addWidget(new QLabel(QLatin1String(kFigureNames[i]) + QLatin1Char(':')));
        figures_[i] = new QLabel;
        figures_[i]->setObjectName(QStringLiteral("Figure_") + QLatin1String(kFigureNames[i]));
        figures_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        figures->addWidget(figures_[i]);
        figures->addSpacing(8);
    }
    figures->addStretch(1);
    connect(addButton(*figures, QStringLiteral("Reset"), "Button_Reset"), &QPushButton::clicked,
            this, &ReadingsWindow::resetStatistics);
    layout.addLayout(figures);

    auto* limits = new QHBoxLayout;
    connect(addButton(*limits, QStringLiteral("Set reference"), "Button_Reference"),
            &QPushButton::clicked, this, &ReadingsWindow::setReference);
    connect(addButton(*limits, QStringLiteral("Clear reference"), "Button_ClearReference"),
            &QPushButton::clicked, this, [this] {
                model_.clearReference();
                showTexts();
            });
    limits->addSpacing(12);
    low_ = new QLineEdit;
    high_ = new QLineEdit;
    for (auto [edit, name] : {std::pair{low_, "Low limit"}, std::pair{high_, "High limit"}}) {
        edit->setPlaceholderText(QLatin1String(name));
        edit->setObjectName(QString(QLatin1String(name)).remove(QLatin1Char(' ')));
        edit->setMaximumWidth(110);
        connect(edit, &QLineEdit::editingFinished, this,
                [this] { setLimits(low_->text(), high_->text()); });
        limits->addWidget(edit);
    }
    beep_ = new QCheckBox(QStringLiteral("Beep"));
    beep_->setObjectName(QStringLiteral("Beep"));
    connect(beep_, &QCheckBox::toggled, this, [this](bool on) { model_.setBeep(on); });
    limits->addWidget(beep_);
    limits->addStretch(1);
    record_ = addButton(*limits, QStringLiteral("Record..."), "Button_Record");
    connect(record_, &QPushButton::clicked, this, &ReadingsWindow::chooseRecording);
    connect(addButton(*limits, QStringLiteral("Export chart..."), "Button_ExportChart"),
            &QPushButton::clicked, this, &ReadingsWindow::chooseChartExport);
    connect(addButton(*limits, QStringLiteral("Export readings..."), "Button_ExportReadings"),
            &QPushButton::clicked, this, &ReadingsWindow::chooseReadingsExport);
    layout.addLayout(limits);
}

void ReadingsWindow::readingTaken(const Reading& reading)
{
    model_.readingTaken(reading);
    recorder_.readingTaken(reading);
    if (model_.beepDue()) {
        QApplication::beep();
    }
    showTexts();
    scheduleRedraw();
}

void ReadingsWindow::runStarted()
{
    model_.runStarted();
    showTexts();
}

void ReadingsWindow::runEnded()
{
    model_.runEnded();
    showTexts();
}

void ReadingsWindow::setMeterName(const QString& modelName, const QString& where)
{
    if (modelName != modelName_ || where != where_ || windowTitle().isEmpty()) {
        modelName_ = modelName;
        where_ = where;
        setWindowTitle((modelName.isEmpty() ? QStringLiteral("Readings")
                                            : QStringLiteral("Readings - ") + modelName) +
                       where);
    }
}

void ReadingsWindow::showTexts()
{
    readout_->setText(model_.readoutText());
    unit_->setText(model_.unitText());
    note_->setText(model_.noteText());
    relative_->setText(model_.relativeText());
    QPalette palette = readout_->palette();
    QColor colour = QApplication::palette(readout_).color(QPalette::WindowText);
    if (model_.zone() == LimitZone::Inside) {
        colour = QColor(0, 150, 0);
    } else if (model_.zone() == LimitZone::Below || model_.zone() == LimitZone::Above) {
        colour = QColor(220, 0, 0);
    }
    if (palette.color(QPalette::WindowText) != colour) {
        palette.setColor(QPalette::WindowText, colour);
        readout_->setPalette(palette);
    }

    const QStringList figures = model_.figureTexts();
    for (std::size_t i = 0; i < figures_.size(); ++i) {
        figures_[i]->setText(figures.value(static_cast<qsizetype>(i)));
    }
}

void ReadingsWindow::setReference()
{
    model_.setReference();
    showTexts();
}

void ReadingsWindow::resetStatistics()
{
    model_.resetStatistics();
    showTexts();
}

void ReadingsWindow::setLimits(const QString& low, const QString& high)
{
    model_.setLimits(low, high);
    showTexts();
}

void ReadingsWindow::scheduleRedraw()
{
    if (isVisible() && !redrawTimer_.isActive()) {
        redrawTimer_.start(kRedrawMs);
    }
}

// The chart keeps one series per series of the model: the model drops the
// oldest and adds new ones at the end.
void ReadingsWindow::syncChartSeries()
{
    const std::deque<ReadingSeries>& series = model_.series();
    while (!chartSeries_.empty() && (chartSeries_.size() > series.size() ||
                                     chartSeries_.front().first != series.front().firstTime)) {
        chart_->removeSeries(chartSeries_.front().second);
        delete chartSeries_.front().second;
        chartSeries_.pop_front();
    }
    for (std::size_t i = chartSeries_.size(); i < series.size(); ++i) {
        auto* line = new QLineSeries;
        line->setName(series[i].functionCode + QStringLiteral(" (") + series[i].unit +
                      QLatin1Char(')'));
        // A one-pixel pen draws without stroking the outline: a fraction of
        // the cost of the default width at thousands of points.
        chart_->addSeries(line);
        QPen pen = line->pen(); // the theme's colour
        pen.setWidth(1);
        line->setPen(pen);
        line->attachAxis(timeAxis_);
        line->attachAxis(valueAxis_);
        chartSeries_.emplace_back(series[i].firstTime, line);
        // Qt Charts 6.4 leaves a time axis that was shown without a series
        // unlabelled until it is shown afresh.
        timeAxis_->hide();
        timeAxis_->show();
    }
}

void ReadingsWindow::redrawChart()
{
    redrawTimer_.stop();
    syncChartSeries();
    const std::deque<ReadingSeries>& series = model_.series();
    std::vector<double> starts;
    for (const ReadingSeries& s : series) {
        starts.push_back(s.firstTime);
    }
    // A column per two pixels: every column's extremes still drawn, half
    // the points for the chart to stroke.
    const double plotWidth = chart_->plotArea().width() / 2.0;
    const auto columns = static_cast<std::size_t>(std::clamp(plotWidth, 1.0, 1.0 * kMaxColumns));
    if (!thinning_.update(model_.history(), starts, columns) || series.empty()) {
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
        const double wanted = std::clamp(chart_->plotArea().height() / 40.0, 3.0, 10.0);
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
        QLineSeries* line = chartSeries_[i].second;
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
    const double wanted = std::clamp(chart_->plotArea().width() / 110.0, 2.0, 8.0);
    applyTicks(*timeAxis_,
               timeAxisTicks(from, to, static_cast<int>(wanted), dateTime(from).offsetFromUtc()));
}

void ReadingsWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The digits grow with the window: readable across a bench.
    const int pixels = std::clamp(std::min(height() / 5, width() / 7), 24, 400);
    QFont digits = readout_->font();
    digits.setPixelSize(pixels);
    digits = fitToBox(digits, QSize(width() * 3 / 4, pixels * 5 / 4), QStringLiteral("-8.888888"),
                      readout_);
    readout_->setFont(digits);
    QFont unit = unit_->font();
    unit.setPixelSize(std::max(digits.pixelSize() / 2, 12));
    unit_->setFont(unit);
    scheduleRedraw();
}

void ReadingsWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // What came while hidden is drawn once, when the layout has settled.
    redrawTimer_.start(0);
}

bool ReadingsWindow::startRecording(const QString& path)
{
    const bool started = recorder_.startRecording(path);
    record_->setText(started ? QStringLiteral("Stop recording") : QStringLiteral("Record..."));
    return started;
}

void ReadingsWindow::stopRecording()
{
    recorder_.stopRecording();
    record_->setText(QStringLiteral("Record..."));
}

bool ReadingsWindow::exportChart(const QString& path)
{
    redrawChart();
    if (QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) != 0) {
        return chartView_->grab().save(path, QFileInfo(path).suffix().isEmpty() ? "PNG" : nullptr);
    }
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(chartView_->size());
    svg.setViewBox(QRect(QPoint(0, 0), chartView_->size()));
    svg.setTitle(windowTitle());
    QPainter painter;
    if (!painter.begin(&svg)) {
        return false;
    }
    chartView_->render(&painter);
    return painter.end();
}

bool ReadingsWindow::exportReadings(const QString& path)
{
    return recorder_.exportReadings(path);
}

void ReadingsWindow::chooseRecording()
{
    if (recording()) {
        stopRecording();
        return;
    }
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Record readings"), QString(), QStringLiteral("CSV files (*.csv)"),
        nullptr, QFileDialog::DontConfirmOverwrite); // the log appends
    if (!path.isEmpty()) {
        startRecording(path);
    }
}

void ReadingsWindow::chooseChartExport()
{
    exportWithDialog(QStringLiteral("Export chart"),
                     QStringLiteral("PNG image (*.png);;SVG image (*.svg)"),
                     [this](const QString& path) { return exportChart(path); });
}

void ReadingsWindow::chooseReadingsExport()
{
    exportWithDialog(QStringLiteral("Export readings"), QStringLiteral("CSV files (*.csv)"),
                     [this](const QString& path) { return exportReadings(path); });
}

void ReadingsWindow::exportWithDialog(const QString& title, const QString& filter,
                                      const std::function<bool(const QString&)>& write)
{
    const QString path = QFileDialog::getSaveFileName(this, title, QString(), filter);
    if (!path.isEmpty() && !write(path)) {
        platform_.messageBox(QStringLiteral("Cannot write %1").arg(path),
                             QStringLiteral("Export Error"), MessageButtons::Ok,
                             MessageIcon::Exclamation);
    }
}

} // namespace lumodm
