#include "qt/readings_toggle.h"
#include "qt/readings_window.h"
#include "tests/qt/window_fixture.h"

#include <QFileDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtCharts/QChartView>
#include <QtCharts/QValueAxis>
#include <gtest/gtest.h>

#include <cmath>

namespace lumodm::testing {
namespace {

TEST(ReadingsWindow, MirrorsReadingsTogglesWithCtrlTAndKeepsThePanelSettings)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("readings.ini");
    WindowFixture f;
    ReadingsToggle toggle(*f.window, f.link, f.panel->platform, file, &linkedReadingsWindowKit);
    f.showUp();
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
    EXPECT_EQ(text("Relative"), "REL 0.0 mV");
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

// Record logs what comes while it records, until the button stops it; the
// chart is exported as a PNG, or an SVG by the file's suffix; an export
// asks for its file and writes it without a word.
TEST(ReadingsWindow, RecordsWhileRecordingAndExportsTheChartAndReadings)
{
    QTemporaryDir dir;
    const auto contents = [&dir](const char* name) {
        QFile file(dir.filePath(QLatin1String(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    WindowFixture f;
    ReadingsWindow w(f.link, f.panel->platform);
    w.show();
    auto* record = w.findChild<QPushButton*>("Button_Record");
    f.panel->play("signal DCV 1.25, runfor 0.9");
    ASSERT_TRUE(w.startRecording(dir.filePath("r.csv")));
    EXPECT_EQ(record->text(), "Stop recording");
    f.panel->play("signal DCV 2.5, runfor 1.9");
    QTest::mouseClick(record, Qt::LeftButton);
    f.panel->play("signal DCV 3.75, runfor 0.9");
    const QByteArray rows = contents("r.csv");
    EXPECT_EQ(rows.count('\n'), 3); // the header and two readings of 2.5 V
    EXPECT_EQ(rows.count(",DM5010,DCV,0,2.5,V,"), 2);

    ASSERT_TRUE(w.exportChart(dir.filePath("c.png")) && w.exportChart(dir.filePath("c.svg")));
    // The value axis from tick to round tick.
    const QChart* chart = w.findChild<QChartView*>("Chart")->chart();
    const auto* values = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
    ASSERT_TRUE(values);
    const double step = (values->max() - values->min()) / (values->tickCount() - 1);
    const double digit = std::round(step / std::pow(10.0, std::floor(std::log10(step) + 1e-9)));
    EXPECT_TRUE((digit == 1 || digit == 2 || digit == 5) &&
                std::fabs(std::remainder(values->min(), step)) < 1e-9)
        << step;
    EXPECT_TRUE(contents("c.png").startsWith("\x89PNG\r\n\x1a\n"));
    EXPECT_TRUE(contents("c.svg").contains("<svg"));
    QTimer::singleShot(0, [&dir] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            dialog->selectFile(dir.filePath("all.csv"));
            QTest::keyClick(dialog, Qt::Key_Return);
        }
    });
    f.panel->platform.clearMessages();
    QTest::mouseClick(w.findChild<QPushButton*>("Button_ExportReadings"), Qt::LeftButton);
    EXPECT_EQ(contents("all.csv").count(",DM5010,DCV,0,"), 4);
    EXPECT_TRUE(f.panel->platform.messages().empty());
}

} // namespace
} // namespace lumodm::testing
