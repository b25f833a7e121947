#pragma once

#include "readings/chart_view_range.h"

#include <optional>

#include <QtCharts/QChartView>
#include <deque>
#include <utility>

class QDateTimeAxis;
class QLineSeries;
class QPushButton;
class QRubberBand;
class QValueAxis;

namespace lumodm {

class ReadingsViewModel;

// The readings window's trend chart: a line per series of the model, on a
// time axis and a value axis in the unit the last series reads in. It
// draws from the extremes of each pixel column, so a redraw costs the
// same for a hundred readings as for a million. The wheel zooms, a drag
// zooms into a box, Shift+drag or the middle button pans, Follow goes
// back to the newest reading and a double-click to the whole run, both
// following it; the view's arithmetic is a
// ChartViewRange, the chart maps its events to it.
class ReadingsChart : public QChartView
{
    Q_OBJECT

  public:
    explicit ReadingsChart(const ReadingsViewModel& model, QWidget* parent = nullptr);

    // Draws the model's readings now.
    void draw();
    // A dark desktop gets a dark chart.
    void setDark(bool dark);
    const ChartViewRange& view() const { return view_; }
    // The Follow button, hidden while the chart is exported.
    void showControls(bool shown);

  protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    static void setThinPen(QLineSeries& line);
    void syncSeries();
    // Where a point of the view lies on the plot, in fractions (right, up).
    QPointF onPlot(const QPointF& viewPoint) const;
    void viewChanged();
    void placeFollow();

    const ReadingsViewModel& model_;
    ChartViewRange view_;
    QDateTimeAxis* timeAxis_ = nullptr;
    QValueAxis* valueAxis_ = nullptr;
    QPushButton* follow_ = nullptr;
    QRubberBand* box_ = nullptr;
    QString unit_;            // the base unit of the value axis
    double valueScale_ = 1.0; // its values drawn times this, in its prefixed unit
    QPoint boxOrigin_;
    std::optional<QPointF> panFrom_;
    // The chart's series, by the start time of the model's series.
    std::deque<std::pair<double, QLineSeries*>> series_;
};

} // namespace lumodm
