#include "qt/readings_toggle.h"
#include "qt/readings_window.h"
#include "tests/qt/window_fixture.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <tuple>

namespace lumodm::testing {
namespace {

Reading reading(double value, Reading::Kind kind = Reading::Kind::Value, const char* fn = "DCV")
{
    Reading r;
    r.kind = kind;
    r.functionCode = QLatin1String(fn);
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
            {1, 2, Value, 1, Z::Inside},       {1, 2, Value, 2, Z::Inside},
            {1, 2, Value, std::nextafter(1, 0), Z::Below},
            {1, 2, Value, std::nextafter(2, 3), Z::Above},
            {None, 2, Value, -1e30, Z::Inside}, {1, None, Value, 1e30, Z::Inside},
            {NAN, None, Value, 5, Z::Unknown},  {1, 2, Overflow, 9.9e37, Z::Above},
            {1, 2, NoNumber, 0, Z::Unknown},
        };
    for (const auto& [low, high, kind, value, zone] : limits) {
        ReadingsViewModel m;
        m.setLimits(low, high);
        m.readingTaken(reading(value, kind));
        EXPECT_EQ(m.zone(), zone) << value;
    }
    // A crossing is a move to another zone than the last reading with a number.
    ReadingsViewModel m;
    m.setLimits(1, 2);
    QString crossings;
    for (const auto& [value, kind] : {std::pair{1.5, Value}, {0.0, NoNumber}, {2.5, Value},
                                      {3.0, Value}, {0.5, Value}, {0.7, Value}}) {
        m.readingTaken(reading(value, kind));
        crossings += m.crossed() ? 'x' : '.';
    }
    EXPECT_EQ(crossings, "..x.x.");
    // Relative: none without a reference or a number; cleared by another function.
    EXPECT_FALSE(m.relative());
    EXPECT_TRUE(m.setReference());
    EXPECT_EQ(m.relativeText(), "REL 0 V");
    m.readingTaken(reading(1.2));
    EXPECT_EQ(m.relativeText(), "REL +0.5 V");
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
    m.setRunning(true);
    const std::tuple<Reading, bool, const char*> steps[] = {
        {reading(1.25), true, "1.25|V||1.25 V"},
        {reading(1.25), false, "1.25|V|held|1.25 V"},
        {reading(9.9e37, Overflow), false, "OVERFLO|V|overflow, held|OVERFLO V"},
        {reading(0, NoNumber), true, "-------||no reading|no reading"},
    };
    for (const auto& [r, running, shown] : steps) {
        m.readingTaken(r);
        m.setRunning(running);
        EXPECT_EQ(QStringList({m.readoutText(), m.unitText(), m.noteText(), m.copyText()}).join('|'),
                  shown);
    }
    for (const auto& [value, fn] : {std::pair{10.0, "DCV"}, {11.0, "DCV"}, {20.0, "OHMS"}}) {
        m.readingTaken(reading(value, Value, fn));
    }
    ASSERT_EQ(m.series().size(), 2U); // the overflow and the gap add no points
    EXPECT_EQ(m.series()[1].unit, "Ohm");
    const auto first = m.history().thin(1, m.series()[0].firstTime, m.seriesEnd(0));
    EXPECT_EQ(first, (std::vector<ThinnedColumn>{{0, 1.25, 11.0}}));
    EXPECT_EQ(m.statistics().values().count(), 1); // restarted on the new function
}

TEST(ReadingsWindow, MirrorsReadingsTogglesWithCtrlTAndKeepsThePanelSettings)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("readings.ini");
    WindowFixture f;
    ReadingsToggle toggle(*f.window, f.panel->panel, f.panel->platform, file,
                          &linkedReadingsWindowKit);
    f.window->show();
    QApplication::setActiveWindow(f.window.get());
    const std::size_t writes = f.panel->platform.settingWrites.size();
    QTest::keyClick(f.window.get(), Qt::Key_T, Qt::ControlModifier);
    ReadingsWindow* w = toggle.window();
    ASSERT_TRUE(w && w->isVisible());
    EXPECT_EQ(w->windowTitle(), "Readings - DM5010");
    const auto text = [w](const char* name) { return w->findChild<QLabel*>(name)->text(); };

    QString during;
    f.panel->platform.postEventAt(f.panel->platform.now() + 0.5, [&] {
        f.window->syncFromModel();
        during = text("Readout") + text("Note");
    });
    f.panel->play("signal DCV 1.2345, runfor 0.9");
    f.window->syncFromModel(); // the run is over: the value holds
    EXPECT_EQ(during, "1.2345");
    EXPECT_EQ(text("Readout") + text("Unit") + text("Note"), "1.2345Vheld");
    EXPECT_EQ(text("Figure_n"), "1");
    w->setReference();
    w->setLimits("2", "");
    EXPECT_EQ(text("Relative"), "REL 0 V");
    EXPECT_EQ(w->findChild<QLabel*>("Readout")->palette().color(QPalette::WindowText),
              QColor(220, 0, 0));
    ASSERT_TRUE(w->exportReadings(dir.filePath("r.csv")));
    QFile csv(dir.filePath("r.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll().count("DM5010,DCV"), 1);

    QTest::keyClick(w, Qt::Key_T, Qt::ControlModifier);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(f.panel->platform.settingWrites.size(), writes);
    const QSettings stored(file, QSettings::IniFormat);
    EXPECT_EQ(stored.allKeys(), QStringList({"Readings/geometry", "Readings/open"}));
    EXPECT_FALSE(toggle.rememberedOpen());
}

} // namespace
} // namespace lumodm::testing
