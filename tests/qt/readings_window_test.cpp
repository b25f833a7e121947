#include "qt/readings_chart.h"
#include "qt/readings_toggle.h"
#include "qt/readings_window.h"
#include "qt/save_file_choice.h"
#include "qt/window_placement.h"
#include "tests/qt/window_fixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QValueAxis>
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

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
    EXPECT_EQ(text("Relative"), "REL 0.00 mV");
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
    EXPECT_EQ(record->text(), "&Stop recording");
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

// At its smallest the window fits 1280x800 at twice the scale with a title
// bar and a desktop bar; texts that change neither grow it nor move its
// buttons; buttons act only when they can; Reset empties the chart too.
TEST(ReadingsWindow, FitsASmallScreenKeepsItsSizeAndActsOnlyWhenItCan)
{
    WindowFixture f;
    ReadingsWindow w(f.link, f.panel->platform);
    w.show();
    w.resize(1, 1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.width() <= 636 && w.height() <= 346) << w.width() << 'x' << w.height();
    const auto places = [&w] {
        return std::tuple(w.size(), w.findChild<QLabel*>("Figure_p-p")->pos(),
                          w.findChild<QLabel*>("Relative")->pos());
    };
    const auto before = places();
    auto* reference = w.findChild<QPushButton*>("Button_Reference");
    auto* csv = w.findChild<QPushButton*>("Button_ExportReadings");
    const auto enabled = [=] { return 10 * reference->isEnabled() + csv->isEnabled(); };
    EXPECT_EQ(enabled(), 0);
    w.readingTaken(Reading{});
    EXPECT_EQ(enabled(), 1);
    Reading r;
    r.kind = Reading::Kind::Value;
    std::tie(r.functionCode, r.unit, r.baseUnit) = std::tuple("OHMS", "MOhm", "Ohm");
    for (const double value : {-1.2345678e6, 1.25e6}) {
        r.valueInBase = value;
        r.readoutText = QString::number(value / 1e6, 'f', 7);
        w.readingTaken(r);
        w.setReference();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(enabled(), 11);
    EXPECT_EQ(places(), before);
    QChart* chart = w.findChild<QChartView*>("Chart")->chart();
    w.redrawChart();
    EXPECT_EQ(chart->series().size(), 1);
    QTest::mouseClick(w.findChild<QPushButton*>("Button_Reset"), Qt::LeftButton);
    EXPECT_TRUE(chart->series().isEmpty());
}

// With other meters on the bus, the window shows its meter's readings
// minus the chosen one's; kept from before the window opened.
TEST(ReadingsWindow, ComparesWithAnotherMeterOnlyWhenThereIsOne)
{
    WindowFixture f;
    ReadingsToggle toggle(*f.window, f.link, f.panel->platform, {}, &linkedReadingsWindowKit);
    toggle.setOtherMeters({{14, "DM5120 at 14"}});
    toggle.open();
    ReadingsWindow* w = toggle.window();
    auto* row = w->findChild<QWidget*>("Comparison");
    ASSERT_TRUE(row && row->isVisible());
    auto* analyse = w->findChild<QCheckBox*>("AnalyseDifferences");
    Reading r;
    std::tie(r.kind, r.functionCode, r.baseUnit) = std::tuple(Reading::Kind::Value, "DCV", "V");
    w->readingTaken(r); // before the choice: the window's own reading only
    EXPECT_FALSE(analyse->isEnabled());
    w->findChild<QComboBox*>("CompareWith")->setCurrentIndex(1);
    int second = 0;
    for (const auto& [address, value] : {std::pair(14, 1.0), {12, 1.00002}, {14, 1.0}, {12, 1.0}}) {
        r.meterAddress = address;
        r.valueInBase = value;
        r.time = std::chrono::system_clock::time_point(std::chrono::seconds(++second));
        address == 14 ? toggle.otherReading(r) : w->readingTaken(r);
    }
    // The histogram tab shows the two differences rather than three readings.
    analyse->setChecked(true);
    w->findChild<QTabWidget*>()->setCurrentIndex(1);
    EXPECT_TRUE(w->findChild<QChartView*>("Chart_Histogram")
                    ->chart()
                    ->title()
                    .startsWith("Histogram of 2 readings"));
    EXPECT_EQ(w->findChild<QLabel*>("Difference")->text(), "minus DM5120 at 14: 0 V (0 ppm)");
    EXPECT_EQ(w->findChild<QLabel*>("DifferenceFigures")->text(),
              QString::fromUtf8("n=2 mean=10.00 µV std=14.14 µV adev1=14.14 µV"));
    toggle.setOtherMeters({});
    EXPECT_FALSE(row->isVisible());
}

// Every control explains itself and has an access key of its own; a limit
// that is not a number shows at once; a dark palette darkens the chart.
TEST(ReadingsWindow, ExplainsItselfMarksNotANumberAndFollowsThePalette)
{
    WindowFixture f;
    ReadingsWindow w(f.link, f.panel->platform);
    QStringList keys;
    for (const QAbstractButton* button : w.findChildren<QAbstractButton*>()) {
        if (qobject_cast<QTabBar*>(button->parent()))
            continue; // the tab bar's own scroll arrows
        EXPECT_FALSE(button->toolTip().isEmpty()) << button->text().toStdString();
        keys << QKeySequence::mnemonic(button->text()).toString();
    }
    for (const QLabel* label : w.findChildren<QLabel*>()) {
        if (label->buddy() != nullptr) {
            keys << QKeySequence::mnemonic(label->text()).toString();
        }
    }
    const auto* tabs = w.findChild<QTabWidget*>();
    for (int i = 0; i < tabs->count(); ++i)
        keys << QKeySequence::mnemonic(tabs->tabText(i)).toString();
    EXPECT_GE(keys.size(), 18);
    EXPECT_EQ(keys.removeDuplicates() + keys.count(QString()), 0) << keys.join(' ').toStdString();

    auto* low = w.findChild<QLineEdit*>("LowLimit");
    QTest::keyClicks(low, "1x");
    EXPECT_EQ(low->palette().color(QPalette::Text), QColor(Qt::red));
    QTest::keyClick(low, Qt::Key_Backspace);
    EXPECT_NE(low->palette().color(QPalette::Text), QColor(Qt::red));

    QPalette dark = w.palette();
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    w.setPalette(dark);
    EXPECT_EQ(w.findChild<QChartView*>("Chart")->chart()->theme(), QChart::ChartThemeDark);
    EXPECT_EQ(w.findChild<QChartView*>("Chart_AllanDeviation")->chart()->theme(),
              QChart::ChartThemeDark);
    w.setPalette(QApplication::palette());
    EXPECT_EQ(w.findChild<QChartView*>("Chart")->chart()->theme(), QChart::ChartThemeLight);
}

// The histogram and the Allan deviation beside the trend, drawn when their
// tab shows and emptied by Reset; an export writes the bins as CSV.
TEST(ReadingsWindow, HistogramAndAllanDeviationBesideTheTrend)
{
    QTemporaryDir dir;
    WindowFixture f;
    ReadingsWindow w(f.link, f.panel->platform);
    w.show();
    Reading r;
    r.kind = Reading::Kind::Value;
    std::tie(r.functionCode, r.unit, r.baseUnit) = std::tuple("DCV", "V", "V");
    for (int i = 0; i < 100; ++i) {
        r.valueInBase = std::sin(i);
        r.time = std::chrono::system_clock::time_point(std::chrono::seconds(1800000000 + i));
        w.readingTaken(r);
    }
    auto* tabs = w.findChild<QTabWidget*>();
    const auto series = [&w](const char* name) {
        return w.findChild<QChartView*>(name)->chart()->series().value(0);
    };
    auto* bars = qobject_cast<QAreaSeries*>(series("Chart_Histogram"));
    ASSERT_TRUE(bars && bars->upperSeries()->points().isEmpty()); // not drawn while hidden
    tabs->setCurrentIndex(1);
    EXPECT_GT(bars->upperSeries()->points().size(), 4);
    QCoreApplication::processEvents(); // the export button's place in the tabs' corner
    QTimer::singleShot(0, [&dir] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            dialog->selectFile(dir.filePath("h.csv"));
            QTest::keyClick(dialog, Qt::Key_Return);
        }
    });
    QTest::mouseClick(w.findChild<QPushButton*>("Button_ExportHistogram"), Qt::LeftButton);
    QFile csv(dir.filePath("h.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_TRUE(csv.readAll().startsWith("bin_low_V,bin_high_V,count,normal_expected\r\n"));
    tabs->setCurrentIndex(2);
    EXPECT_EQ(qobject_cast<QXYSeries*>(series("Chart_AllanDeviation"))->points().size(), 5);
    QTest::mouseClick(w.findChild<QPushButton*>("Button_Reset"), Qt::LeftButton);
    EXPECT_TRUE(qobject_cast<QXYSeries*>(series("Chart_AllanDeviation"))->points().isEmpty());
}

// The wheel zooms in time and a dragged box into both axes, leaving
// follow; Follow goes on at that width at the newest reading, a
// double-click shows the whole run.
TEST(ReadingsWindow, ChartZoomsByWheelAndBoxAndFollowsAgain)
{
    WindowFixture f;
    ReadingsWindow w(f.link, f.panel->platform);
    w.show();
    Reading r;
    r.kind = Reading::Kind::Value;
    std::tie(r.functionCode, r.unit, r.baseUnit) = std::tuple("DCV", "V", "V");
    const auto add = [&](int from, int to) {
        for (int i = from; i < to; ++i) {
            r.valueInBase = i % 7;
            r.time = std::chrono::system_clock::time_point(std::chrono::hours(480000) +
                                                           std::chrono::seconds(i));
            w.readingTaken(r);
        }
        w.redrawChart();
    };
    add(0, 600);
    auto* chart = w.findChild<ReadingsChart*>("Chart");
    auto* follow = w.findChild<QPushButton*>("Button_Follow");
    const auto* times = qobject_cast<QDateTimeAxis*>(chart->chart()->axes(Qt::Horizontal)[0]);
    const auto* values = qobject_cast<QValueAxis*>(chart->chart()->axes(Qt::Vertical)[0]);
    const auto span = [times] { return times->min().secsTo(times->max()); };
    EXPECT_EQ(span(), 600);
    const QPointF middle = chart->chart()->plotArea().center();
    QWheelEvent wheel(middle, chart->mapToGlobal(middle), {}, {0, 240}, Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(chart->viewport(), &wheel);
    EXPECT_TRUE(span() > 350 && span() < 400 && !follow->isChecked()) << span();
    const QPoint corner = middle.toPoint() + QPoint(40, 20);
    QTest::mousePress(chart->viewport(), Qt::LeftButton, {}, middle.toPoint());
    QTest::mouseMove(chart->viewport(), corner);
    QTest::mouseRelease(chart->viewport(), Qt::LeftButton, {}, corner);
    EXPECT_LT(span(), 150);
    EXPECT_LT(values->max() - values->min(), 3.5);
    QTest::mouseClick(follow, Qt::LeftButton);
    add(600, 1200);
    EXPECT_TRUE(follow->isChecked() && values->max() - values->min() > 6);
    EXPECT_TRUE(span() < 150 && times->max().toSecsSinceEpoch() >= 480000 * 3600 + 1199);
    QTest::mouseDClick(chart->viewport(), Qt::LeftButton, {}, middle.toPoint());
    EXPECT_EQ(span(), 1200);
}

// The place beside a panel on 1280x800 and 1024x768 screens with a bar at
// the top, on two screens, and what becomes of a stored place.
TEST(WindowPlacement, BesideThePanelOnItsScreenAndNeverOverIt)
{
    const QRect wide(0, 28, 1280, 772), small(0, 28, 1024, 740), second(1280, 0, 1920, 1080);
    const std::tuple<QRect, QSize, QList<QRect>, std::optional<QRect>, QRect> cases[] = {
        {{10, 20, 400, 300}, {760, 560}, {wide}, {}, {418, 28, 760, 560}},    // right
        {{870, 40, 400, 300}, {760, 560}, {wide}, {}, {102, 40, 760, 560}},   // left
        {{200, 28, 624, 200}, {760, 500}, {small}, {}, {200, 236, 760, 500}}, // below
        {{200, 568, 624, 200}, {760, 500}, {small}, {}, {200, 60, 760, 500}}, // above
        {{0, 28, 400, 300}, {1458, 900}, {wide}, {}, {0, 28, 1280, 772}},
        {{1300, 0, 400, 300}, {760, 560}, {wide, second}, {}, {1708, 0, 760, 560}},
        // A stored place is kept, pulled onto its screen; off every screen
        // or over the panel, it goes beside the panel at its size.
        {{10, 20, 400, 300}, {760, 560}, {wide}, QRect(500, 300, 600, 400), {500, 300, 600, 400}},
        {{10, 20, 400, 300}, {760, 560}, {wide}, QRect(900, 600, 600, 400), {680, 400, 600, 400}},
        {{10, 20, 400, 300}, {760, 560}, {wide}, QRect(5000, 90, 600, 400), {418, 28, 600, 400}},
        {{10, 20, 400, 300}, {760, 560}, {wide}, QRect(10, 20, 600, 400), {418, 28, 600, 400}},
    };
    for (const auto& [panel, size, screens, stored, place] : cases) {
        EXPECT_EQ(placeBesidePanel(panel, size, screens, stored), place) << panel.x();
    }
}

// A bare name takes the chosen filter's extension; the format is the one
// the name's extension names among the filters', else the chosen one.
TEST(SaveFileChoice, ABareNameTakesTheChosenFiltersExtensionAndFormat)
{
    const QString images = QStringLiteral("PNG image (*.png);;SVG image (*.svg)");
    const char* const svg = "SVG image (*.svg)";
    const char* const cases[][4] = {
        {"/t/plot", svg, "/t/plot.svg", "svg"},
        {"/t/plot.", svg, "/t/plot.svg", "svg"},
        {"/t/plot.PNG", svg, "/t/plot.PNG", "png"},
        {"/t/plot.v2", svg, "/t/plot.v2", "svg"},
        {"/t.d/plot", "PNG image (*.png)", "/t.d/plot.png", "png"},
        {"/t/plot", "", "/t/plot.png", "png"},
    };
    for (const auto& [typed, chosen, path, format] : cases) {
        const SaveFileChoice c = saveFileChoice(typed, images, chosen);
        EXPECT_EQ(c.path + '|' + c.format, QString(path) + '|' + format) << typed;
    }
}

} // namespace
} // namespace lumodm::testing
