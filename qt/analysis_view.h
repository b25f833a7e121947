#pragma once

#include "qt/save_file_choice.h"
#include "readings/reading_analysis.h"

#include <QObject>
#include <QTimer>
#include <QtCharts/QChart>
#include <cstdint>
#include <functional>
#include <optional>

class QAreaSeries;
class QChartView;
class QLineSeries;
class QLogValueAxis;
class QPushButton;
class QScatterSeries;
class QTabWidget;
class QValueAxis;

namespace lumodm {

// The histogram and the Allan deviation of the readings since Reset: two
// pages beside the trend chart, each with its export. They are computed
// only while one of them shows, at most once a second, and only when the
// readings changed: a million readings take a few tens of milliseconds.
class AnalysisView : public QObject
{
    Q_OBJECT

  public:
    // How an export asks for its file: the window's save dialog.
    using ExportDialog =
        std::function<void(const QString& title, const QString& filters,
                           const std::function<bool(const SaveFileChoice&)>& write)>;

    // Adds the two pages to `tabs`, whose child it becomes.
    AnalysisView(const ReadingAnalysis& analysis, QTabWidget& tabs, ExportDialog exportDialog);

    // The window's chart theme, dark on a dark palette.
    void setTheme(QChart::ChartTheme theme);
    // Draws the page that shows afresh when the readings changed.
    void refresh();
    // What the pages analyse from now on: the window's readings, or the
    // differences from another meter.
    void setAnalysis(const ReadingAnalysis& analysis);
    // A PNG or SVG image, or the CSV text, as `format` says ("png", "svg",
    // "csv").
    bool exportHistogram(const QString& path, const QString& format);
    bool exportAllanDeviation(const QString& path, const QString& format);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Page
    {
        QChartView* view = nullptr;
        QPushButton* exportButton = nullptr;
        QChart* chart = nullptr;
        std::optional<std::uint64_t> drawn; // the analysis's revision
    };

    struct PageNames
    {
        QString tab;
        const char* chart;
        QString button;
        const char* buttonName;
        QString tip;
        QString exportTitle;
        bool (AnalysisView::*write)(const QString& path, const QString& format);
    };

    Page addPage(QTabWidget& tabs, const PageNames& names);
    void buildHistogram();
    void buildAllanDeviation();
    void stylePens();
    void drawHistogram();
    void drawAllanDeviation();

    const ReadingAnalysis* analysis_;
    ExportDialog exportDialog_;
    QTimer timer_;

    Page histogramPage_;
    QAreaSeries* bars_ = nullptr;
    QLineSeries* normal_ = nullptr;
    QValueAxis* binAxis_ = nullptr;
    QValueAxis* countAxis_ = nullptr;
    HistogramAnalysis histogram_;

    Page allanPage_;
    QLineSeries* allanLine_ = nullptr;
    QScatterSeries* allanPoints_ = nullptr;
    QLogValueAxis* tauAxis_ = nullptr;
    QLogValueAxis* deviationAxis_ = nullptr;
    AllanAnalysis allan_;
};

} // namespace lumodm
