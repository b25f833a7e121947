#include "readings/reading_recorder.h"
#include "readings/readings_view_model.h"
#include "tests/support/scripted_platform.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <tuple>

namespace lumodm::testing {
namespace {

Reading reading(double value, Reading::Kind kind = Reading::Kind::Value, const char* fn = "DCV",
                float digitFormat = 0.0F)
{
    Reading r;
    r.digitFormat = digitFormat;
    r.kind = kind;
    r.functionCode = QLatin1String(fn);
    r.meterModel = QStringLiteral("DM5120");
    r.unit = r.baseUnit = QLatin1String(fn[0] == 'O' ? "Ohm" : "V");
    r.value = r.valueInBase = value;
    r.readoutText = kind == Reading::Kind::Overflow ? "OVERFLO" : " " + QString::number(value);
    static int tick = 0;
    r.time = std::chrono::system_clock::time_point(std::chrono::seconds(++tick));
    return r;
}

constexpr auto Value = Reading::Kind::Value, Overflow = Reading::Kind::Overflow,
               NoNumber = Reading::Kind::NoNumber;
const std::optional<double> None;

TEST(ReadingsViewModel, LimitsAndRelativeAtTheirEdges)
{
    using Z = LimitZone;
    const std::tuple<std::optional<double>, std::optional<double>, Reading::Kind, double, Z>
        limits[] = {
            {1, 2, Value, 1, Z::Inside},
            {1, 2, Value, 2, Z::Inside},
            {1, 2, Value, std::nextafter(1, 0), Z::Below},
            {1, 2, Value, std::nextafter(2, 3), Z::Above},
            {None, 2, Value, -1e30, Z::Inside},
            {1, None, Value, 1e30, Z::Inside},
            {NAN, None, Value, 5, Z::Unknown},
            {1, 2, Overflow, 9.9e37, Z::Above},
            {1, 2, NoNumber, 0, Z::Unknown},
        };
    for (const auto& [low, high, kind, value, zone] : limits) {
        ReadingsViewModel m;
        m.setLimits(low, high);
        m.readingTaken(reading(value, kind));
        EXPECT_EQ(m.zone(), zone) << value;
    }
    // A beep is for a move to another zone than the last reading with a
    // number, and only when asked for; limits typed as text.
    ReadingsViewModel m;
    m.setLimits(QStringLiteral(" 1"), QStringLiteral("2 "));
    m.setBeep(true);
    QString beeps;
    for (const auto& [value, kind] :
         {std::pair{1.5, Value}, {0.0, NoNumber}, {2.5, Value}, {3.0, Value}, {0.7, Value}}) {
        m.readingTaken(reading(value, kind));
        beeps += m.beepDue() ? 'x' : '.';
    }
    EXPECT_EQ(beeps, "..x.x");
    m.setBeep(false);
    EXPECT_FALSE(m.beepDue());
    // Relative: none without a reference or a number; cleared by another function.
    EXPECT_FALSE(m.relative());
    EXPECT_TRUE(m.setReference());
    EXPECT_EQ(m.relativeText(), "REL 0 V");
    m.readingTaken(reading(1.2));
    EXPECT_EQ(m.relativeText(), "REL +500.0000 mV");
    m.readingTaken(reading(0, NoNumber));
    EXPECT_FALSE(m.relative());
    EXPECT_FALSE(m.setReference());
    m.readingTaken(reading(5, Value, "OHMS"));
    EXPECT_FALSE(m.relative());
}

TEST(ReadingsViewModel, HoldsAfterStopNamesWhatIsNoNumberAndSplitsSeries)
{
    ReadingsViewModel m;
    EXPECT_EQ(m.readoutText() + "|" + m.noteText(), "-------|no reading");
    m.runStarted();
    const std::tuple<Reading, bool, const char*> steps[] = {
        {reading(1.25), true, "1.25|V||1.25 V"},
        {reading(1.25), false, "1.25|V|held|1.25 V"},
        {reading(9.9e37, Overflow), false, "OVERFLO|V|overflow, held|OVERFLO"},
        {reading(0, NoNumber), true, "-------||no reading|no reading"},
    };
    for (const auto& [r, running, shown] : steps) {
        m.readingTaken(r);
        running ? m.runStarted() : m.runEnded();
        EXPECT_EQ(
            QStringList({m.readoutText(), m.unitText(), m.noteText(), m.copyText()}).join('|'),
            shown);
    }
    for (const auto& [value, fn] : {std::pair{10.0, "DCV"}, {11.0, "DCV"}, {20.0, "OHMS"}}) {
        m.readingTaken(reading(value, Value, fn));
    }
    ASSERT_EQ(m.series().size(), 2U); // the overflow and the gap add no points
    EXPECT_EQ(m.series()[1].unit, "Ohm");
    // The first series' points: up to, not into, the second.
    const ColumnExtremes first =
        m.history().columns(0, 1e10, 1, m.series()[0].firstTime, m.series()[1].firstTime)[0];
    EXPECT_EQ(std::pair(first.minimum, first.maximum), std::pair(1.25, 11.0));
    // Restarted on the new function: the deviation not known yet.
    EXPECT_EQ(m.figureTexts().join('|'), "1|20.00000 Ohm|-|20.00000 Ohm|20.00000 Ohm|0 Ohm");
    m.resetStatistics(); // the chart starts again too
    EXPECT_EQ(m.series().size() + m.history().readings(), 0U);
}

// The figures keep the digits of the coarsest reading they hold, a digit
// more for the mean; the relative value those of the last reading.
TEST(ReadingsViewModel, FiguresAndRelativeValueAtTheReadoutsDigits)
{
    ReadingsViewModel m;
    const std::tuple<double, float, const char*> steps[] = {
        {1.5, 1.6F, "1|1.5000000 V|-|1.500000 V|1.500000 V|0 µV|REL 0 µV"},
        {1.50009, 1.6F, "2|1.5000450 V|63.64 µV|1.500000 V|1.500090 V|90 µV|REL +90 µV"},
        {1.6, 1.5F, "3|1.533363 V|57.71 mV|1.50000 V|1.60000 V|100.00 mV|REL +100.00 mV"},
        {1.4000004, 0.0F,
         "4|1.500023 V|81.65 mV|1.400000 V|1.600000 V|199.9996 mV|REL -99.99960 mV"},
    };
    for (const auto& [value, format, shown] : steps) {
        m.readingTaken(reading(value, Value, "DCV", format));
        if (!m.relative()) {
            m.setReference();
        }
        EXPECT_EQ(m.figureTexts().join('|') + "|" + m.relativeText(), QString::fromUtf8(shown));
    }
}

// Limits are typed in the readout's unit, re-shown in the next one.
TEST(ReadingsViewModel, LimitsInTheShownUnit)
{
    ReadingsViewModel m;
    const auto ohms = [&m](double value, const char* unit) {
        Reading r = reading(value, Value, "OHMS");
        r.unit = QString::fromUtf8(unit);
        m.readingTaken(r);
        return m.zone();
    };
    ohms(1499.9, "kOhm");
    EXPECT_TRUE(m.setLimitText(LimitSide::Low, "1.4") && m.setLimitText(LimitSide::High, "1.6"));
    EXPECT_EQ(m.zone(), LimitZone::Inside);
    EXPECT_FALSE(m.setLimitText(LimitSide::High, "1.7x"));
    EXPECT_EQ(ohms(1650, "kOhm"), LimitZone::Above);
    EXPECT_EQ(ohms(999, "Ohm"), LimitZone::Below);
    EXPECT_EQ(m.limitUnit() + m.limitText(LimitSide::Low), "Ohm1400");
    EXPECT_EQ(ohms(0.5, "µOhm"), LimitZone::Below);
    EXPECT_EQ(m.limitText(LimitSide::High), "1600000000");
}

// The export holds every reading since the start, the recording only those
// between its start and its stop.
TEST(ReadingRecorder, ExportsEveryReadingAndRecordsWhileAsked)
{
    QTemporaryDir dir;
    ScriptedPlatform platform;
    ReadingRecorder recorder(platform);
    const auto rows = [&dir](const char* name) {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll().count("DM5120,DCV") : -1;
    };
    recorder.readingTaken(reading(1));
    EXPECT_FALSE(recorder.startRecording(dir.filePath("no/log.csv")));
    EXPECT_EQ(platform.messages().size(), 1U); // the log told why
    ASSERT_TRUE(recorder.startRecording(dir.filePath("log.csv")));
    recorder.readingTaken(reading(2));
    recorder.stopRecording();
    recorder.readingTaken(reading(3));
    ASSERT_TRUE(recorder.exportReadings(dir.filePath("all.csv")));
    EXPECT_FALSE(recorder.exportReadings(dir.filePath("no/all.csv")));
    EXPECT_EQ(std::pair(rows("log.csv"), rows("all.csv")), std::pair(1LL, 3LL));
}

} // namespace
} // namespace lumodm::testing
