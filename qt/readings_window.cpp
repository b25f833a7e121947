#include "qt/readings_window.h"

#include "panel/panel_link.h"
#include "qt/analysis_view.h"
#include "qt/chart_image.h"
#include "qt/comparison_row.h"
#include "qt/panel_fonts.h"
#include "qt/readings_chart.h"
#include "qt/save_file_choice.h"
#include "qt/stored_log_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace lumodm {

namespace {

// A chart redraw at most this often: a run at 0.5 s and a day of history
// stay smooth without costing the processor per reading.
constexpr int kRedrawMs = 250;

const char* const kFigureNames[] = {"n", "mean", "std", "min", "max", "p-p"};
// The widest texts each label takes, so a changing text never moves the
// controls nor grows the window: up to eight digits (a mean has one more than the readout) with a
// prefixed unit.
const QString kWidestFigure = QStringLiteral("-888.88888 MOhm");
const QString kWidestCount = QStringLiteral("88888888");
const QString kWidestUnit = QStringLiteral("MOhm");
const QString kWidestNote = QStringLiteral("overflow, held");
const QString kWidestRelative = QStringLiteral("REL +888.88888 MOhm");
const QString kWidestLimit = QStringLiteral("-888.88888");

const QString kCsvFilter = QStringLiteral("CSV files (*.csv)");
const QString kRecord = QStringLiteral("Rec&ord...");
const QString kStopRecording = QStringLiteral("&Stop recording");
const QString kLimitTip = QStringLiteral("In the unit the readout shows; blank for none");
const QString kNotANumberTip = QStringLiteral("Not a number: ignored, the limit stays as it was");

QPushButton* addButton(QBoxLayout& row, const QString& text, const char* name, const QString& tip)
{
    auto* button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    button->setToolTip(tip);
    row.addWidget(button);
    return button;
}

QLabel* plainLabel(const char* name)
{
    auto* label = new QLabel;
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

void fixWidthFor(QLabel& label, const QString& widest)
{
    label.setFixedSize(label.fontMetrics().horizontalAdvance(widest) + 2,
                       label.fontMetrics().height());
}

} // namespace

ReadingsWindow::ReadingsWindow(PanelLink& panel, PlatformServices& platform, QWidget* parent)
    : QWidget(parent, Qt::Window), panel_(panel), platform_(platform), recorder_(platform)
{
    setObjectName(QStringLiteral("Readings"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
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
    followPalette();
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
    readout_ = plainLabel("Readout");
    readout_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The digits are fitted to the window, not the window to the digits.
    readout_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QFont digits(bundledSevenSegmentFamily());
    digits.setPixelSize(48);
    readout_->setFont(digits);
    readout_->setToolTip(QStringLiteral("The last reading; Ctrl+C copies it"));
    unit_ = plainLabel("Unit");
    note_ = plainLabel("Note");
    relative_ = plainLabel("Relative");
    relative_->setToolTip(QStringLiteral("The reading minus the reference"));
    fixWidthFor(*note_, kWidestNote);
    fixWidthFor(*relative_, kWidestRelative);
    auto* beside = new QVBoxLayout;
    beside->addWidget(unit_);
    beside->addWidget(note_);
    beside->addWidget(relative_);
    beside->addStretch(1);
    row->addWidget(readout_, 1);
    row->addLayout(beside);
    layout.addLayout(row);
}

void ReadingsWindow::buildChart(QVBoxLayout& layout)
{
    chartView_ = new ReadingsChart(model_);
    auto* tabs = new QTabWidget;
    tabs->setDocumentMode(true);
    tabs->addTab(chartView_, QStringLiteral("&Trend"));
    analysis_ = new AnalysisView(model_.analysis(), *tabs,
                                 [this](const QString& title, const QString& filters,
                                        const std::function<bool(const SaveFileChoice&)>& write) {
                                     exportWithDialog(title, filters, write);
                                 });
    // The tabs' bar comes off the chart's least height: the window fits
    // where it did.
    const int bar = tabs->minimumSizeHint().height() - chartView_->minimumHeight();
    chartView_->setMinimumHeight(chartView_->minimumHeight() - bar);
    layout.addWidget(tabs, 1);
}

void ReadingsWindow::buildControls(QVBoxLayout& layout)
{
    // The statistics in two rows of three, Reset beside them.
    auto* figures = new QGridLayout;
    figures->setHorizontalSpacing(6);
    for (std::size_t i = 0; i < figures_.size(); ++i) {
        const int row = static_cast<int>(i / 3);
        const int column = static_cast<int>(i % 3) * 2;
        auto* name = new QLabel(QLatin1String(kFigureNames[i]) + QLatin1Char(':'));
        name->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        figures->addWidget(name, row, column);
        figures_[i] = plainLabel("");
        figures_[i]->setObjectName(QStringLiteral("Figure_") + QLatin1String(kFigureNames[i]));
        figures_[i]->setToolTip(QStringLiteral("Since the last Reset, in the base unit"));
        figures_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        fixWidthFor(*figures_[i], i == 0 ? kWidestCount : kWidestFigure);
        figures->addWidget(figures_[i], row, column + 1);
    }
    figures->setColumnStretch(6, 1);
    auto* resetRow = new QVBoxLayout;
    connect(addButton(*resetRow, QStringLiteral("&Reset"), "Button_Reset",
                      QStringLiteral("Clears the statistics and the chart: both start again "
                                     "with the next reading")),
            &QPushButton::clicked, this, &ReadingsWindow::resetStatistics);
    figures->addLayout(resetRow, 0, 7, 2, 1, Qt::AlignVCenter);
    layout.addLayout(figures);

    auto* limits = new QHBoxLayout;
    low_ = new QLineEdit;
    high_ = new QLineEdit;
    const std::pair<QLineEdit*, const char*> edits[] = {{low_, "Low"}, {high_, "High"}};
    for (std::size_t i = 0; i < std::size(edits); ++i) {
        QLineEdit* edit = edits[i].first;
        const char* name = edits[i].second;
        const LimitSide side = i == 0 ? LimitSide::Low : LimitSide::High;
        auto* label = new QLabel(QLatin1Char('&') + QLatin1String(name));
        label->setBuddy(edit);
        edit->setObjectName(QLatin1String(name) + QStringLiteral("Limit"));
        edit->setToolTip(kLimitTip);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(kWidestLimit) + 16);
        limitUnits_[i] = plainLabel(i == 0 ? "LowUnit" : "HighUnit");
        fixWidthFor(*limitUnits_[i], kWidestUnit);
        connect(edit, &QLineEdit::textEdited, this, [this, edit] { markLimit(*edit); });
        connect(edit, &QLineEdit::editingFinished, this, [this, edit, side] {
            model_.setLimitText(side, edit->text());
            edit->setModified(false);
            showTexts();
        });
        limits->addWidget(label);
        limits->addWidget(edit);
        limits->addWidget(limitUnits_[i]);
        limits->addSpacing(6);
    }
    beep_ = new QCheckBox(QStringLiteral("&Beep"));
    beep_->setObjectName(QStringLiteral("Beep"));
    beep_->setToolTip(QStringLiteral("Beeps when a reading crosses a limit"));
    connect(beep_, &QCheckBox::toggled, this, [this](bool on) { model_.setBeep(on); });
    limits->addWidget(beep_);
    limits->addStretch(1);
    layout.addLayout(limits);

    comparison_ = new ComparisonRow;
    layout.addWidget(comparison_);
    connect(comparison_, &ComparisonRow::analysedChanged, this, [this](bool differences) {
        analysis_->setAnalysis(differences ? comparison_->comparison().analysis()
                                           : model_.analysis());
    });

    auto* files = new QHBoxLayout;
    reference_ =
        addButton(*files, QStringLiteral("Set re&ference"), "Button_Reference",
                  QStringLiteral("Takes the last reading as the reference REL is told from"));
    connect(reference_, &QPushButton::clicked, this, &ReadingsWindow::setReference);
    connect(addButton(*files, QStringLiteral("&Clear reference"), "Button_ClearReference",
                      QStringLiteral("Forgets the reference")),
            &QPushButton::clicked, this, [this] {
                model_.clearReference();
                showTexts();
            });
    files->addStretch(1);
    record_ = addButton(*files, kStopRecording, "Button_Record",
                        QStringLiteral("Writes the readings to a CSV file while it records"));
    // As wide for either text: the row stays put when recording starts.
    record_->setMinimumWidth(record_->sizeHint().width());
    record_->setText(kRecord);
    connect(record_, &QPushButton::clicked, this, &ReadingsWindow::chooseRecording);
    connect(addButton(*files, QStringLiteral("E&xport chart..."), "Button_ExportChart",
                      QStringLiteral("Saves the chart as a PNG or SVG image")),
            &QPushButton::clicked, this, &ReadingsWindow::chooseChartExport);
    exportReadings_ =
        addButton(*files, QStringLiteral("Export rea&dings..."), "Button_ExportReadings",
                  QStringLiteral("Saves every reading so far to a CSV file"));
    connect(exportReadings_, &QPushButton::clicked, this, &ReadingsWindow::chooseReadingsExport);
    connect(addButton(*files, QStringLiteral("O&pen log..."), "Button_OpenLog",
                      QStringLiteral("Shows a stored log in a readings window of its own")),
            &QPushButton::clicked, this, &ReadingsWindow::chooseStoredLog);
    layout.addLayout(files);
}

void ReadingsWindow::setOtherMeters(const QList<QPair<int, QString>>& meters)
{
    comparison_->setOtherMeters(meters);
}

void ReadingsWindow::otherReading(const Reading& reading)
{
    comparison_->otherReading(reading);
}

void ReadingsWindow::readingTaken(const Reading& reading)
{
    model_.readingTaken(reading);
    comparison_->ownReading(reading);
    if (!storedLog_) {
        recorder_.readingTaken(reading);
    }
    if (holdTexts_) {
        return;
    }
    if (model_.beepDue()) {
        QApplication::beep();
    }
    showTexts();
    scheduleRedraw();
}

void ReadingsWindow::takeStoredReadings(const std::vector<Reading>& batch)
{
    storedLog_ = true;
    holdTexts_ = true;
    for (const Reading& reading : batch) {
        readingTaken(reading);
    }
    holdTexts_ = false;
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
    reference_->setEnabled(model_.canSetReference());
    exportReadings_->setEnabled(!storedLog_ && model_.statistics().readingsSeen() > 0);
    record_->setEnabled(!storedLog_);
    showLimits();
}

// The limits in the readout's unit: a field is written afresh when that
// unit changes, unless the user is typing in it.
void ReadingsWindow::showLimits()
{
    if (limitUnits_[0]->text() == model_.limitUnit()) {
        return;
    }
    const std::pair<QLineEdit*, LimitSide> edits[] = {{low_, LimitSide::Low},
                                                      {high_, LimitSide::High}};
    for (std::size_t i = 0; i < std::size(edits); ++i) {
        auto [edit, side] = edits[i];
        limitUnits_[i]->setText(model_.limitUnit());
        if (!edit->isModified()) {
            edit->setText(model_.limitText(side));
            markLimit(*edit);
        }
    }
}

// A text that is not a number shows so at once, in red with the reason.
void ReadingsWindow::markLimit(QLineEdit& edit)
{
    const bool number = ReadingsViewModel::isLimitText(edit.text());
    QPalette palette; // no colour of its own: the desktop's, dark or light
    if (!number) {
        palette.setColor(QPalette::Text, Qt::red);
    }
    edit.setPalette(palette);
    edit.setToolTip(number ? kLimitTip : kNotANumberTip);
}

// A dark desktop gets a dark chart: the theme follows the window's base colour.
void ReadingsWindow::followPalette()
{
    const bool dark = palette().color(QPalette::Base).lightness() < 128;
    analysis_->setTheme(dark ? QChart::ChartThemeDark : QChart::ChartThemeLight);
    chartView_->setDark(dark);
}

void ReadingsWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        followPalette();
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
    comparison_->reset();
    showTexts();
    redrawChart();
    analysis_->refresh();
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

void ReadingsWindow::redrawChart()
{
    redrawTimer_.stop();
    chartView_->draw();
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
    fixWidthFor(*unit_, kWidestUnit);
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
    record_->setText(started ? kStopRecording : kRecord);
    return started;
}

void ReadingsWindow::stopRecording()
{
    recorder_.stopRecording();
    record_->setText(kRecord);
}

bool ReadingsWindow::exportChart(const QString& path, const QString& format)
{
    redrawChart();
    // The chart's own buttons belong on the screen, not in the picture.
    chartView_->showControls(false);
    const auto shown = qScopeGuard([this] { chartView_->showControls(true); });
    const QString written = format.isEmpty() ? QFileInfo(path).suffix().toLower() : format;
    return writeChartImage(*chartView_, path, written, windowTitle());
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
    // The log appends: an existing file is no question.
    const SaveFileChoice choice = askSaveFile(QStringLiteral("Record readings"), kCsvFilter,
                                              QFileDialog::DontConfirmOverwrite);
    if (!choice.path.isEmpty()) {
        startRecording(choice.path);
    }
}

void ReadingsWindow::chooseChartExport()
{
    exportWithDialog(QStringLiteral("Export chart"),
                     QStringLiteral("PNG image (*.png);;SVG image (*.svg)"),
                     [this](const SaveFileChoice& c) { return exportChart(c.path, c.format); });
}

void ReadingsWindow::chooseReadingsExport()
{
    exportWithDialog(QStringLiteral("Export readings"), kCsvFilter,
                     [this](const SaveFileChoice& c) { return exportReadings(c.path); });
}

void ReadingsWindow::chooseStoredLog()
{
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Open log"), QString(),
                                     kCsvFilter + QStringLiteral(";;All files (*)"));
    QString error;
    if (!path.isEmpty() && openStoredLog(platform_, path, &error, {}) == nullptr) {
        platform_.messageBox(error, QStringLiteral("Open Error"), MessageButtons::Ok,
                             MessageIcon::Exclamation);
    }
}

// The dialog adds the chosen filter's extension to a bare name itself, so
// that it asks before overwriting the file that will be written.
SaveFileChoice ReadingsWindow::askSaveFile(const QString& title, const QString& filters,
                                           QFileDialog::Options options)
{
    QFileDialog dialog(this, title, QString(), filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOptions(options);
    dialog.setDefaultSuffix(filterExtension(filters));
    connect(&dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog](const QString& filter) { dialog.setDefaultSuffix(filterExtension(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return saveFileChoice(dialog.selectedFiles().front(), filters, dialog.selectedNameFilter());
}

void ReadingsWindow::exportWithDialog(const QString& title, const QString& filters,
                                      const std::function<bool(const SaveFileChoice&)>& write)
{
    const SaveFileChoice choice = askSaveFile(title, filters, {});
    if (!choice.path.isEmpty() && !write(choice)) {
        platform_.messageBox(QStringLiteral("Cannot write %1").arg(choice.path),
                             QStringLiteral("Export Error"), MessageButtons::Ok,
                             MessageIcon::Exclamation);
    }
}

} // namespace lumodm
