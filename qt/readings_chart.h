#pragma once

#include "stats/reading_history.h"

#include <QtCharts/QChartView>
#include <deque>
#include <utility>

class QDateTimeAxis;
class QLineSeries;
class QValueAxis;

namespace lumodm {

class ReadingsViewModel;

// The readings window's trend chart: a line per series of the model, on a
// time axis and a value axis in the unit the last series reads in.
class ReadingsChart : public QChartView
{
    Q_OBJECT

  public:
    explicit ReadingsChart(QWidget* parent = nullptr);

    // Draws the model's readings now.
    void draw(const ReadingsViewModel& model);
    // A dark desktop gets a dark chart.
    void setDark(bool dark);

  private:
    static void setThinPen(QLineSeries& line);
    void syncSeries(const ReadingsViewModel& model);

    QDateTimeAxis* timeAxis_ = nullptr;
    QValueAxis* valueAxis_ = nullptr;
    // The chart's series, by the start time of the model's series.
    std::deque<std::pair<double, QLineSeries*>> series_;
    GridThinning thinning_;
};

} // namespace lumodm
