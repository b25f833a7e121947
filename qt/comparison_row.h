#pragma once

#include "readings/meter_comparison.h"

#include <QList>
#include <QPair>
#include <QWidget>

class QCheckBox;
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
    // Whether the histogram and Allan deviation are asked of the differences.
    bool analysed() const;

  signals:
    void analysedChanged(bool differences);

  private:
    void show();

    MeterComparison comparison_;
    QComboBox* choice_ = nullptr;
    QCheckBox* analyse_ = nullptr;
    QLabel* difference_ = nullptr;
    QLabel* figures_ = nullptr;
};

} // namespace lumodm
