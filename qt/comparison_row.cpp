#include "qt/comparison_row.h"

#include "readings/engineering_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

namespace lumodm {

namespace {

QString figure(bool known, double value, const QString& unit)
{
    return known ? engineeringText(value, unit, {std::nullopt, 4}) : QStringLiteral("-");
}

} // namespace

ComparisonRow::ComparisonRow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Comparison"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(QStringLiteral("Compar&e with"));
    choice_ = new QComboBox;
    choice_->setObjectName(QStringLiteral("CompareWith"));
    choice_->setToolTip(QStringLiteral(
        "Shows this meter's readings minus another meter's latest, absolute and in ppm of it"));
    label->setBuddy(choice_);
    difference_ = new QLabel;
    difference_->setObjectName(QStringLiteral("Difference"));
    figures_ = new QLabel;
    figures_->setObjectName(QStringLiteral("DifferenceFigures"));
    figures_->setToolTip(
        QStringLiteral("The differences since the last Reset; adev1: their Allan deviation at one "
                       "reading's interval, over neighbouring pairs without a gap"));
    for (QLabel* text : {difference_, figures_}) {
        text->setTextFormat(Qt::PlainText);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    row->addWidget(label);
    row->addWidget(choice_);
    row->addWidget(difference_);
    row->addWidget(figures_, 1);
    analyse_ = new QCheckBox(QStringLiteral("Anal&yse them"));
    analyse_->setObjectName(QStringLiteral("AnalyseDifferences"));
    analyse_->setToolTip(
        QStringLiteral("The Histogram and Allan deviation tabs show the differences, not this "
                       "meter's readings"));
    analyse_->setEnabled(false);
    row->addWidget(analyse_);
    connect(analyse_, &QCheckBox::toggled, this, &ComparisonRow::analysedChanged);
    connect(choice_, &QComboBox::currentIndexChanged, this, [this] {
        comparison_.compareWith(choice_->currentData().toInt(), choice_->currentText());
        analyse_->setEnabled(comparison_.active());
        if (!comparison_.active()) {
            analyse_->setChecked(false);
        }
        show();
    });
    setVisible(false);
}

void ComparisonRow::setOtherMeters(const QList<QPair<int, QString>>& meters)
{
    const QSignalBlocker quiet(choice_);
    choice_->clear();
    choice_->addItem(QStringLiteral("none"), 0);
    for (const auto& [address, name] : meters) {
        choice_->addItem(name, address);
    }
    comparison_.compareWith(0, QString());
    analyse_->setChecked(false);
    analyse_->setEnabled(false);
    setVisible(!meters.isEmpty());
    show();
}

bool ComparisonRow::analysed() const
{
    return analyse_->isChecked();
}

void ComparisonRow::ownReading(const Reading& reading)
{
    comparison_.readingTaken(reading, reading.meterAddress);
    if (comparison_.active()) {
        show();
    }
}

void ComparisonRow::otherReading(const Reading& reading)
{
    // An address no meter has: the reading can only be the other's.
    comparison_.readingTaken(reading, -1);
}

void ComparisonRow::reset()
{
    comparison_.reset();
    show();
}

void ComparisonRow::show()
{
    difference_->setText(comparison_.text());
    if (!comparison_.active()) {
        figures_->clear();
        return;
    }
    const RunningStatistics& d = comparison_.differences().values();
    const QString unit = comparison_.differences().unit();
    const std::optional<double> adev1 = comparison_.differences().allanDeviationOneStep();
    figures_->setText(QStringLiteral("n=%1 mean=%2 std=%3 adev1=%4")
                          .arg(d.count())
                          .arg(figure(d.count() > 0, d.mean(), unit),
                               figure(d.count() > 1, d.standardDeviation(), unit),
                               figure(adev1.has_value(), adev1.value_or(0.0), unit)));
}

} // namespace lumodm
