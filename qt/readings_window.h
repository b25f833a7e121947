#pragma once

#include "qt/save_file_choice.h"
#include "readings/reading_recorder.h"
#include "readings/readings_view_model.h"

#include <QFileDialog>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace lumodm {

class AnalysisView;
class ComparisonRow;
class PanelLink;
class ReadingsChart;
class PlatformServices;

// The readings window beside the panel: a big readout of the last
// reading, a trend chart, statistics, a relative value, limits, and the
// log and exports. It mirrors a ReadingsViewModel and draws, and hands the
// files to a ReadingRecorder; the values and decisions live in those.
class ReadingsWindow : public QWidget, public ReadingObserver
{
    Q_OBJECT

  public:
    ReadingsWindow(PanelLink& panel, PlatformServices& platform, QWidget* parent = nullptr);
    ~ReadingsWindow() override;

    void readingTaken(const Reading& reading) override;
    // Readings of a stored log, a batch at a time: each as readingTaken,
    // the texts shown once a batch. Its window records none of them: they
    // are in a file already.
    void takeStoredReadings(const std::vector<Reading>& batch);
    void runStarted() override;
    void runEnded() override;
    // The meter's model name, in the title and the rows; `where` follows
    // it in the title (the meter's address, when several are served).
    void setMeterName(const QString& modelName, const QString& where = QString());

    const ReadingsViewModel& model() const { return model_; }

    // The other meters served, and their readings, for the comparison.
    void setOtherMeters(const QList<QPair<int, QString>>& meters);
    void otherReading(const Reading& reading);

    // What the buttons do once their dialogs have a file name.
    bool startRecording(const QString& path);
    void stopRecording();
    bool recording() const { return recorder_.recording(); }
    // A PNG or SVG image: as `format` says ("png", "svg"), else by the suffix.
    bool exportChart(const QString& path, const QString& format = QString());
    bool exportReadings(const QString& path);
    void setReference();
    void resetStatistics();
    void setLimits(const QString& low, const QString& high);

    // Draws the chart from the model now; otherwise a few times a second
    // at most, and only while the window is shown.
    void redrawChart();

  signals:
    // Ctrl+T here too: the toggle closes the window.
    void toggleRequested();

  protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildReadout(QVBoxLayout& layout);
    void buildChart(QVBoxLayout& layout);
    void buildControls(QVBoxLayout& layout);
    void showTexts();
    void showLimits();
    void markLimit(QLineEdit& edit);
    void followPalette();
    void scheduleRedraw();
    void chooseRecording();
    void chooseChartExport();
    void chooseReadingsExport();
    void chooseStoredLog();
    SaveFileChoice askSaveFile(const QString& title, const QString& filters,
                               QFileDialog::Options options);
    void exportWithDialog(const QString& title, const QString& filters,
                          const std::function<bool(const SaveFileChoice&)>& write);

    PanelLink& panel_;
    PlatformServices& platform_;
    ReadingsViewModel model_;
    ReadingRecorder recorder_;
    QString modelName_;
    QString where_;

    QLabel* readout_ = nullptr;
    QLabel* unit_ = nullptr;
    QLabel* note_ = nullptr;
    QLabel* relative_ = nullptr;
    std::array<QLabel*, 6> figures_{};
    QLineEdit* low_ = nullptr;
    QLineEdit* high_ = nullptr;
    std::array<QLabel*, 2> limitUnits_{};
    QCheckBox* beep_ = nullptr;
    QPushButton* record_ = nullptr;
    QPushButton* reference_ = nullptr;
    QPushButton* exportReadings_ = nullptr;
    ComparisonRow* comparison_ = nullptr;
    bool storedLog_ = false;
    bool holdTexts_ = false;

    ReadingsChart* chartView_ = nullptr;
    AnalysisView* analysis_ = nullptr; // the histogram and Allan deviation beside the chart
    QTimer redrawTimer_;
};

} // namespace lumodm
