#include "tests/qt/window_fixture.h"

#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

// One line per entry: depth, caption, and the state flags that show.
QStringList describe(const QList<QAction*>& actions, int depth = 0)
{
    QStringList lines;
    for (const QAction* action : actions) {
        QString line = QString(depth * 2, QLatin1Char(' '));
        line += action->isSeparator() ? QStringLiteral("-") : action->text();
        if (!action->isEnabled()) {
            line += QStringLiteral(" [disabled]");
        }
        if (action->isChecked()) {
            line += QStringLiteral(" [checked]");
        }
        if (!action->shortcut().isEmpty()) {
            line += QStringLiteral(" [shortcut]");
        }
        lines.append(line);
        if (action->menu() != nullptr) {
            lines += describe(action->menu()->actions(), depth + 1);
        }
    }
    return lines;
}

TEST(WindowMenus, TreeCaptionsAndDesignStates)
{
    // Built from the design model itself, before activation set any mark.
    PanelFixture panel;
    panel.panel.Form_Load();
    MainWindow window(panel.panel);
    const char* expected = "&File\n  E&xit\n&Utilities\n"
                           "  &Apply (Send settings to DM) [disabled]\n"
                           "  &Refresh (Input settimgs from DM)\n  -\n  &Display Color\n"
                           "    &System\n    Black &on White\n    &White on Black\n"
                           "    &Red\n    &Green\n    &Blue\n  &Update Rate\n    &0.5 sec\n"
                           "    &1 sec\n    &2 sec\n    &5 sec\n    &10 sec\n"
                           "  &Confirm Function Change\n  -\n  Initialize DM5010\n&About";
    EXPECT_EQ(describe(window.menuBar()->actions()).join(QLatin1Char('\n')).toStdString(),
              expected);
    // About acts from the bar itself.
    EXPECT_EQ(window.findChild<QAction*>(QStringLiteral("Menu_About"))->menu(), nullptr);
}

TEST(WindowMenus, ActivationMarksShowAndChoicesReachTheHandlers)
{
    WindowFixture f;
    // Defaults applied at activation: System colours, 1 s, confirm on.
    EXPECT_TRUE(f.action("Menu_System")->isChecked());
    EXPECT_TRUE(f.action("Menu_RR_OneSec")->isChecked());
    EXPECT_TRUE(f.action("Menu_ConfirmFunctionChange")->isChecked());
    EXPECT_FALSE(f.action("Menu_Red")->isCheckable()); // no empty box beside it

    f.action("Menu_Red")->trigger();
    EXPECT_EQ(f.panel->state().ColorScheme, 3);
    EXPECT_TRUE(f.action("Menu_Red")->isChecked());
    EXPECT_FALSE(f.action("Menu_System")->isChecked());
    EXPECT_EQ(f.label("Label_ReadOut")->palette().color(QPalette::Window), QColor(0xFF8080));
    EXPECT_EQ(f.label("Label_ReadOut")->palette().color(QPalette::WindowText), QColor(0xC00000));

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

} // namespace
} // namespace lumodm::testing
