#pragma once

#include "readings/meter_comparison.h"

#include <QList>
#include <QPair>
#include <QWidget>

class QComboBox;
class QLabel;

namespace lumodm {

// The readings window's transfer check: a choice of another meter on the
// bus and this meter's readings minus that one's, with their statistics.
// Hidden while the program serves one meter.
class ComparisonRow : public QWidget
{
    Q_OBJECT

  public:
    explicit ComparisonRow(QWidget* parent = nullptr);

    void setOtherMeters(const QList<QPair<int, QString>>& meters);
    void ownReading(const Reading& reading);
    void otherReading(const Reading& reading);
    // The window's Reset: the differences' statistics start again.
    void reset();

    const MeterComparison& comparison() const { return comparison_; }

  private:
    void show();

    MeterComparison comparison_;
    QComboBox* choice_ = nullptr;
    QLabel* difference_ = nullptr;
    QLabel* figures_ = nullptr;
};

} // namespace lumodm
