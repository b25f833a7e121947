#include "readings/chart_ticks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace lumodm::testing {
namespace {

TEST(ChartTicks, ValueTicksOnRoundStepsInAPrefixedUnit)
{
    const std::tuple<double, double, int, const char*, const char*> table[] = {
        {1.499961, 1.500039, 5, "V", "1.49996..1.50004/5 V 1"},
        {0.0, 180e-6, 5, "V", "0..200/5 µV 1e+06"},
        {1499.91, 1500.09, 5, "Ohm", "1.49990..1.50010/5 kOhm 0.001"},
        {-12.3, -11.1, 4, "dBm", "-12.5..-11.0/4 dBm 1"},
        {3.0, 3.0, 4, "V", "2.996..3.004/5 V 1"},
        {1.1e30, 1.9e30, 3, "V", "1e+30..2e+30/3 V 1"},
        {NAN, 1.0, 5, "V", "0..1/2 V 1"},
        {5e-324, 5e-324, 5, "A", "0..1/2 A 1"},
    };
    for (const auto& [low, high, wanted, unit, text] : table) {
        const ValueAxisTicks axis = valueAxisTicks(low, high, wanted, QString::fromUtf8(unit));
        const QByteArray format = axis.labelFormat.toLatin1();
        EXPECT_EQ(QString::asprintf(format.constData(), axis.low) + ".." +
                      QString::asprintf(format.constData(), axis.high) + "/" +
                      QString::number(axis.count) + " " + axis.unit + " " +
                      QString::number(axis.scale),
                  QString::fromUtf8(text));
    }
}

// Times in milliseconds of UTC; the local clock `offset` seconds ahead.
TEST(ChartTicks, TimeTicksOnRoundTimesReadApart)
{
    constexpr double s = 1e3, h = 3600e3;
    const std::tuple<double, double, int, int, const char*> table[] = {
        {12702.3 * s, 12704.1 * s, 5, 0, "12702000..12704500/6 hh:mm:ss.z"},
        {0, 5 * h, 6, 0, "0..18000000/6 hh:mm"},
        {0, 3 * h, 4, 1800, "-1800000..12600000/5 hh:mm"},
        {22 * h, 26 * h, 5, 0, "79200000..93600000/5 MM-dd hh:mm"},
        {24 * h - 10 * s, 24 * h + 10 * s, 5, 0, "86390000..86410000/5 hh:mm:ss"},
        {0, 240 * h, 6, 0, "0..864000000/6 yyyy-MM-dd"},
        {1e3, NAN, 5, 0, "1000..nan/2 hh:mm:ss"},
    };
    for (const auto& [from, to, wanted, offset, text] : table) {
        const TimeAxisTicks axis = timeAxisTicks(from, to, wanted, offset);
        EXPECT_EQ(QString::number(axis.from, 'f', 0) + ".." + QString::number(axis.to, 'f', 0) +
                      "/" + QString::number(axis.count) + " " + axis.format,
                  text);
    }
}

} // namespace
} // namespace lumodm::testing
