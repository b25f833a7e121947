#pragma once

#include <optional>
#include <utility>

namespace lumodm {

// What the chart shows: a span of time (seconds) and of values (base
// unit), and whether it follows the newest reading. Following, the view
// ends at the newest reading and keeps its width, or shows the whole run
// while its width holds it all; the values fit what is shown. A zoom or a
// pan stops following and holds the view where it is put. Positions on
// the plot are fractions: 0 at the left or bottom edge, 1 at the other.
class ChartViewRange
{
  public:
    static constexpr double kNarrowest = 0.01; // seconds across the plot

    // The first and the newest reading's time; a view off them is pulled
    // back onto them.
    void setData(double first, double last);
    // What is drawn: the time span after the axis rounded it, and the
    // values the axis shows; zooms and pans start from these.
    void setShown(double from, double to, double low, double high);

    bool following() const { return following_; }
    void follow();
    void stopFollowing();
    void fitValues() { values_.reset(); }
    void reset(); // the whole run, following, values fitted

    // `factor` below 1 zooms in, about the point at `at`; a pan moves the
    // view with the pointer, by fractions of the plot (right, up).
    void zoomTime(double factor, double at);
    void zoomValues(double factor, double at);
    void pan(double right, double up);
    void zoomToBox(double left, double right, double bottom, double top);

    // The time span to draw.
    std::pair<double, double> time() const;
    // The values to draw, none while they fit what is shown.
    std::optional<std::pair<double, double>> values() const { return values_; }

  private:
    std::pair<double, double> clamped(double from, double width) const;
    void hold(double from, double to);

    double first_ = 0.0;
    double last_ = 0.0;
    bool following_ = true;
    std::optional<double> width_; // following; none: the whole run
    std::pair<double, double> held_{0.0, 1.0};
    std::pair<double, double> shownTime_{0.0, 1.0};
    std::pair<double, double> shownValues_{0.0, 1.0};
    std::optional<std::pair<double, double>> values_;
};

} // namespace lumodm
