#include "readings/reading_analysis.h"
#include "readings/readings_view_model.h"

#include <QDateTime>
#include <gtest/gtest.h>

#include <cmath>

namespace lumodm::testing {
namespace {

constexpr double kStart = 1.8e9;

Reading at(double seconds, double value, Reading::Kind kind = Reading::Kind::Value,
           const char* fn = "DCV")
{
    Reading r;
    r.kind = kind;
    r.functionCode = QLatin1String(fn);
    r.unit = r.baseUnit = QStringLiteral("V");
    r.value = r.valueInBase = value;
    r.time = std::chrono::system_clock::time_point(std::chrono::milliseconds(
        static_cast<std::int64_t>(std::llround((kStart + seconds) * 1000))));
    return r;
}

QString clock(double seconds)
{
    return QDateTime::fromMSecsSinceEpoch(std::llround((kStart + seconds) * 1000))
        .toString("hh:mm:ss");
}

// Every 0.5 s: 20 readings, a failed one, 30, a Stop and Run at once, 40, a
// pause of 10 s, 10 more. The Stop is a gap though its step is not long.
TEST(ReadingAnalysis, SaysEachGapAndUsesTheLongestStretchWithoutOne)
{
    ReadingAnalysis a;
    double t = 0;
    const auto run = [&](int count) {
        for (int i = 0; i < count; ++i, t += 0.5)
            a.readingTaken(at(t, std::sin(t)));
    };
    run(20);
    a.readingTaken(at(t, 0, Reading::Kind::NoNumber));
    t += 0.5;
    run(30);
    a.runEnded();
    run(40);
    t += 10;
    run(10);
    const AllanAnalysis allan = a.allanDeviation();
    EXPECT_EQ(allan.causes,
              (std::vector{RunBreak::FailedReading, RunBreak::Stop, RunBreak::Pause}));
    EXPECT_EQ(allan.allan.count, 40U);
    EXPECT_EQ(allan.text,
              QString("Allan deviation over 100 readings from %1 to %2, one every 0.5 s\n3 gaps: a "
                      "failed reading at %3, a Stop after %4, a pause from %5 to %6\nThe longest "
                      "stretch without one is used: 40 readings from %7 to %8")
                  .arg(clock(0), clock(60), clock(10), clock(25), clock(45), clock(55.5),
                       clock(25.5), clock(45)));
    const HistogramAnalysis histogram = a.histogram();
    EXPECT_EQ(histogram.histogram.total, 100U);
    EXPECT_TRUE(histogram.text.startsWith(
        QString("Histogram of 100 readings from %1 to %2\n").arg(clock(0), clock(60))));
}

// The newest readings are kept; another function starts afresh, and so
// does the window's Reset.
TEST(ReadingAnalysis, KeepsTheNewestRestartsOnAnotherFunctionAndResets)
{
    ReadingAnalysis a(8);
    for (int i = 0; i < 20; ++i)
        a.readingTaken(at(i, i));
    EXPECT_EQ(a.readings(), 8U);
    EXPECT_EQ(a.histogram().histogram.mean, 15.5);
    EXPECT_EQ(a.allanDeviation().allan.count, 8U);
    a.readingTaken(at(21, 1, Reading::Kind::Value, "OHMS"));
    EXPECT_EQ(a.readings(), 1U);
    EXPECT_TRUE(
        a.allanDeviation().text.endsWith("\nToo few readings in a row: it takes at least 4"));
    ReadingsViewModel m;
    m.readingTaken(at(0, 1));
    m.resetStatistics();
    EXPECT_EQ(m.analysis().allanDeviation().text, "Allan deviation: no readings since Reset");
    EXPECT_EQ(m.analysis().histogram().text, "Histogram: no readings since Reset");
}

TEST(ReadingAnalysis, CsvTextsNameTheUnit)
{
    HistogramAnalysis h;
    h.unit = "V";
    h.histogram.start = 1;
    h.histogram.width = 0.5;
    h.histogram.counts = {1, 2};
    h.histogram.normal = {1.25, 1.5};
    EXPECT_EQ(histogramCsv(h),
              "bin_low_V,bin_high_V,count,normal_expected\r\n1,1.5,1,1.25\r\n1.5,2,2,1.5\r\n");
    AllanAnalysis a;
    a.unit = "Ohm";
    a.allan.count = 10;
    a.allan.points = {{0.5, 1, 1e-6}, {1, 2, 5e-7}};
    EXPECT_EQ(allanDeviationCsv(a), "tau_s,adev_Ohm,n_terms\r\n0.5,1e-06,9\r\n1,5e-07,7\r\n");
}

} // namespace
} // namespace lumodm::testing
