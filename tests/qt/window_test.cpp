#include "qt/panel_fonts.h"
#include "qt/readings_toggle.h"
#include "qt/readings_window.h"
#include "tests/qt/window_fixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <utime.h>

namespace lumodm::testing {
namespace {

TEST(Window, PlacesEveryControlAsItsModelSaysAtBothWidths)
{
    for (const char* spec : {"DM5010@16", "DM5120@16"}) {
        WindowFixture f(QString::fromLatin1(spec));
        const int wide = spec[4] == '2' ? 48 : 0; // 720 twips at 96 dpi
        ASSERT_EQ(f.window->screen()->logicalDotsPerInchX(), 96.0);
        EXPECT_EQ(f.window->centralWidget()->size(), QSize(226 + wide, 177));
        EXPECT_EQ(f.rect("Label_ROBackground"), QRect(8, 8, 209 + wide, 97));
        const Form1& m = f.form();
        const std::pair<const char*, const Geometry&> placed[] = {
            {"Combo_Range", m.Combo_Range.geometry},
            {"Button_Stop", m.Button_Stop.geometry},
            {"Button_Run", m.Button_Run.geometry},
            {"Button_Refresh", m.Button_Refresh.geometry},
            {"Button_Apply", m.Button_Apply.geometry},
            {"Combo_Mode", m.Combo_Mode.geometry},
            {"Label_Range", m.Label_Range.geometry},
            {"Label_RunStop", m.Label_RunStop.geometry},
            {"Label_Prefix", m.Label_Prefix.geometry},
            {"Label_Func", m.Label_Func.geometry},
            {"Label_ReadOut", m.Label_ReadOut.geometry}};
        for (const auto& [name, geometry] : placed) {
            EXPECT_EQ(f.rect(name), f.window->scale().rect(geometry)) << name;
        }
        // The etched rule keeps its design length: grey on top, white below.
        EXPECT_EQ(f.rect("Line1_0"), QRect(0, 0, 232, 1));
        EXPECT_EQ(f.rect("Line1_1"), QRect(0, 1, 232, 1));
        EXPECT_EQ(f.child<QWidget>("Line1_1")->palette().color(QPalette::Window), Qt::white);
        // Fixed size under the menu bar, centred on the screen.
        EXPECT_EQ(f.window->minimumSize(), f.window->maximumSize());
        EXPECT_EQ(f.window->height(), 177 + f.window->menuBar()->height());
        const QPoint centre = f.window->screen()->availableGeometry().center();
        EXPECT_LE((f.window->geometry().center() - centre).manhattanLength(), 2);
    }
}

QStringList describe(const QList<QAction*>& actions, const QString& indent = {})
{
    QStringList lines;
    for (const QAction* action : actions) {
        // A separator has no text: a caption on it would be drawn.
        lines << indent + (action->isSeparator() ? "-" : "") + action->text() +
                     (action->isEnabled() ? "" : " [off]") + (action->isChecked() ? " [x]" : "") +
                     (action->shortcut().isEmpty() ? "" : " [key]");
        if (action->menu() != nullptr) {
            lines += describe(action->menu()->actions(), indent + QStringLiteral("  "));
        }
    }
    return lines;
}

TEST(Window, MenusShowTheModelAndChoicesReachTheHandlers)
{
    PanelFixture panel; // the design model, before activation set any mark
    panel.panel.Form_Load();
    DirectPanelLink link(panel.panel);
    const MainWindow window(link);
    EXPECT_EQ(describe(window.menuBar()->actions()).join(QLatin1Char('|')).toStdString(),
              "&File|  E&xit|&Utilities|  &Apply (Send settings to DM) [off]|"
              "  &Refresh (Input settimgs from DM)|  -|  &Display Color|    &System|"
              "    Black &on White|    &White on Black|    &Red|    &Green|    &Blue|"
              "  &Update Rate|    &0.5 sec|    &1 sec|    &2 sec|    &5 sec|    &10 sec|"
              "  &Confirm Function Change|  -|  Initialize DM5010|&About");
    EXPECT_EQ(window.findChild<QAction*>(QStringLiteral("Menu_About"))->menu(), nullptr);

    WindowFixture f;
    EXPECT_TRUE(f.action("Menu_ConfirmFunctionChange")->isChecked());
    EXPECT_FALSE(f.action("Menu_Red")->isCheckable()); // no empty box beside it
    f.action("Menu_Red")->trigger();
    EXPECT_EQ(f.panel->state().ColorScheme, 3);
    EXPECT_FALSE(f.action("Menu_System")->isChecked());
    // Choosing the checked item again leaves it checked (Qt would untick it).
    f.action("Menu_Red")->trigger();
    EXPECT_TRUE(f.action("Menu_Red")->isChecked());
    f.action("Menu_RR_FiveSec")->trigger();
    EXPECT_EQ(f.label("Label_RefreshRate")->text(), QStringLiteral("5 sec"));
    f.panel->platform.clearMessages();
    f.action("Menu_About")->trigger();
    ASSERT_EQ(f.panel->platform.messages().size(), 1U);
    EXPECT_EQ(f.panel->platform.messages().front().title, QStringLiteral("About"));
}

TEST(Window, MirrorsTheModelInEveryEventPassAsPlainTextInItsColours)
{
    WindowFixture f;
    // A handler in the middle of its work, about to wait for the meter.
    f.form().Button_Stop.enabled = true;
    f.form().Combo_Range.visible = true;
    f.form().Label_ReadOut.caption = QStringLiteral("<b>1</b>");
    f.form().Label_Prefix.caption = QStringLiteral("\u00B5A");
    f.window->syncFromModel();
    EXPECT_TRUE(f.button("Button_Stop")->isEnabled());
    EXPECT_FALSE(f.combo("Combo_Range")->isHidden());
    // The caption, and which meter it is when several panels are open.
    EXPECT_EQ(f.window->windowTitle(), "Lumo DM5010, v1.1/RV");
    f.window->setTitleSuffix(" - address 16");
    EXPECT_EQ(f.window->windowTitle(), "Lumo DM5010, v1.1/RV - address 16");
    EXPECT_EQ(f.label("Label_ReadOut")->textFormat(), Qt::PlainText);
    EXPECT_EQ(f.label("Label_ReadOut")->text(), QStringLiteral("<b>1</b>"));
    EXPECT_EQ(f.label("Label_Prefix")->text(), QStringLiteral("\u00B5A"));
    // The readout in the seven-segment face the program brings along.
    EXPECT_TRUE(bundledSevenSegmentFamily().startsWith("DSEG7"));
    EXPECT_EQ(QFontInfo(f.label("Label_ReadOut")->font()).family(), bundledSevenSegmentFamily());

    f.action("Menu_Blue")->trigger();
    auto colour = [&](const char* name, QPalette::ColorRole role) {
        return f.child<QWidget>(name)->palette().color(role).rgb() & 0xFFFFFFU;
    };
    // Blue colours every label of the readout area.
    for (const char* name : {"Label_ReadOut", "Label_RunStop", "Label_Func", "Label_RefreshRate",
                             "Label_Prefix", "Label_Range"}) {
        EXPECT_EQ(colour(name, QPalette::Window), 0x80FFFFU) << name;
        EXPECT_EQ(colour(name, QPalette::WindowText), 0x0000FFU) << name;
    }
    EXPECT_EQ(colour("Combo_Range", QPalette::Base), f.form().Combo_Range.background.rgb);
    EXPECT_EQ(colour("Combo_Range", QPalette::Text), f.form().Combo_Range.foreground.rgb);
    // The function list is never recoloured; the button colours follow the
    // desktop theme.
    f.action("Menu_System")->trigger();
    const QPalette original = QApplication::palette();
    QPalette theme = original;
    theme.setColor(QPalette::Button, QColor(0x304050));
    theme.setColor(QPalette::ButtonText, QColor(0xE0E0D0));
    QApplication::setPalette(theme);
    QCoreApplication::processEvents();
    EXPECT_EQ(colour("Label_Func", QPalette::Window), 0x304050U);
    EXPECT_EQ(colour("Label_Func", QPalette::WindowText), 0xE0E0D0U);
    EXPECT_EQ(colour("ClientArea", QPalette::Window), 0x304050U);
    EXPECT_EQ(f.combo("Combo_Mode")->palette().color(QPalette::Base), theme.color(QPalette::Base));
    QApplication::setPalette(original);
}

TEST(Window, UserInputReachesTheHandlers)
{
    WindowFixture f(QStringLiteral("DM5110@16"));
    // Refresh re-selects the function quietly: Apply stays off.
    f.button("Button_Refresh")->click();
    EXPECT_FALSE(f.button("Button_Apply")->isEnabled());
    // The user opens the list and picks the entry already selected.
    f.window->show();
    QComboBox* mode = f.combo("Combo_Mode");
    mode->showPopup();
    QAbstractItemView* list = mode->view();
    const QModelIndex entry = list->model()->index(mode->currentIndex(), 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(entry).center());
    EXPECT_TRUE(f.button("Button_Apply")->isEnabled());
    EXPECT_TRUE(f.action("Menu_Apply")->isEnabled());

    // Enter in the function list asks first; other keys pass.
    f.panel->platform.clearMessages();
    f.panel->platform.queueAnswer(MessageAnswer::Cancel);
    QTest::keyClick(mode, Qt::Key_Return);
    QTest::keyClick(mode, Qt::Key_A);
    ASSERT_EQ(f.panel->platform.messages().size(), 1U);
    EXPECT_EQ(f.panel->platform.messages().front().title, QStringLiteral("Function Change"));
    // On the open list Enter picks the entry, then applies it at once;
    // the arrows only move in the list.
    f.action("Menu_ConfirmFunctionChange")->trigger();
    mode->showPopup();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_TRUE(list->isVisible());
    list->setCurrentIndex(list->model()->index(1, 0));
    f.panel->clearReceived();
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(f.panel->commands().value(0), QByteArray("ACV"));

    // A left double-click on the range opens its list; a typed entry name
    // is no pick, a pick sends the range.
    QComboBox* range = f.combo("Combo_Range");
    QTest::mouseDClick(f.label("Label_Range"), Qt::RightButton);
    EXPECT_TRUE(range->isHidden());
    QTest::mouseDClick(f.label("Label_Range"), Qt::LeftButton);
    ASSERT_FALSE(range->isHidden());
    f.panel->clearReceived();
    range->clearEditText();
    QTest::keyClicks(range, QStringLiteral("range2"));
    QTest::keyClick(range, Qt::Key_Return);
    EXPECT_TRUE(f.panel->commands().isEmpty());
    emit range->activated(2);
    EXPECT_TRUE(f.panel->commands().contains("RANGE2"));
    EXPECT_TRUE(range->isHidden());

    // Closing unloads the form, which ends the program; the window stays.
    f.action("Menu_Green")->trigger();
    QCloseEvent close;
    EXPECT_THROW(f.window->closeEvent(&close), ProgramEnded);
    EXPECT_FALSE(close.isAccepted());
    EXPECT_EQ(f.panel->storedSetting(QStringLiteral("Display Color")), QStringLiteral("4"));
}

// Ctrl+C copies the reading shown, if any; the range caption tells of its double-click.
TEST(Window, CtrlCCopiesTheReadingShown)
{
    WindowFixture f;
    f.showUp();
    EXPECT_EQ(f.label("Label_Range")->toolTip(), "Double-click for the ranges");
    QGuiApplication::clipboard()->setText("before");
    const char* steps[][2] = {{"look", "before"}, // the hyphens are no reading
                              {"signal DCV 1.2345, read", "1.2345 V"},
                              {"signal DCV 2000, read", "OVERFLO"}};
    for (const auto& [events, copied] : steps) {
        f.panel->play(QLatin1String(events));
        f.window->syncFromModel();
        QTest::keyClick(f.window.get(), Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), copied);
    }
}

// A window manager that opens windows without the focus.
struct NoActivation : QObject
{
    bool eventFilter(QObject*, QEvent* event) override
    {
        return event->type() == QEvent::WindowActivate;
    }
};

TEST(Window, ShowingItActivatesTheFormOnceFocusOrNot)
{
    PanelFixture panel;
    panel.panel.Form_Load();
    DirectPanelLink link(panel.panel);
    MainWindow window(link);
    NoActivation noActivation;
    window.installEventFilter(&noActivation);
    int done = 0;
    QObject::connect(&window, &MainWindow::formActivateDone, [&done] { ++done; });
    window.show();
    for (int pass = 0; pass < 10; ++pass) {
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(QApplication::focusWidget(), window.findChild<QWidget*>("Button_Refresh"));
    EXPECT_GT(window.findChild<QComboBox*>("Combo_Mode")->count(), 0);
    window.hide();
    window.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(done, 1);
}

// The readings window's own file holds what the user changed, nothing
// else: not after a start that failed, not for a plain exit with the
// window never opened or left as stored.
TEST(Window, TheReadingsFileIsWrittenOnlyWhenItsStateChanged)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("readings.ini");
    const QByteArray name = QFile::encodeName(file);
    PanelFixture failed{QString()};
    failed.panel.Form_Load(); // no meter: activation would end the program
    DirectPanelLink failedLink(failed.panel);
    MainWindow failedWindow(failedLink);
    ReadingsToggle early(failedWindow, failedLink, failed.platform, file);
    early.open();
    early.remember();
    EXPECT_FALSE(QFile::exists(file));

    WindowFixture f;
    ReadingsToggle toggle(*f.window, f.link, f.panel->platform, file);
    toggle.remember();
    EXPECT_FALSE(QFile::exists(file)); // the window is not up yet
    f.showUp();
    toggle.remember();
    EXPECT_FALSE(QFile::exists(file));
    toggle.open();
    ASSERT_TRUE(toggle.rememberedOpen());
    const utimbuf epoch{0, 0};
    ASSERT_EQ(::utime(name.constData(), &epoch), 0);
    toggle.remember();
    EXPECT_EQ(QFileInfo(file).lastModified().toSecsSinceEpoch(), 0);
    toggle.window()->move(toggle.window()->pos() + QPoint(40, 0));
    toggle.remember();
    EXPECT_NE(QFileInfo(file).lastModified().toSecsSinceEpoch(), 0);
}

} // namespace
} // namespace lumodm::testing
