#include "qt/panel_fonts.h"
#include "tests/qt/window_fixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

TEST(WindowLayout, DesignValuesInPixelsAt96Dpi)
{
    WindowFixture f;
    ASSERT_EQ(f.window->screen()->logicalDotsPerInchX(), 96.0);

    EXPECT_EQ(f.window->clientArea()->size(), QSize(226, 177));
    EXPECT_EQ(f.rect("Button_Refresh"), QRect(156, 116, 61, 21));
    EXPECT_EQ(f.rect("Combo_Mode"), QRect(8, 116, 73, 21));
    EXPECT_EQ(f.rect("Button_Stop"), QRect(116, 148, 101, 21));
    EXPECT_EQ(f.rect("Label_ReadOut"), QRect(24, 40, 177, 37));
    EXPECT_EQ(f.rect("Label_ROBackground"), QRect(8, 8, 209, 97));
    EXPECT_EQ(f.rect("Label_Range"), QRect(159, 16, 48, 14));
    // The etched rule: grey on the top row, white one pixel below.
    EXPECT_EQ(f.rect("Line1_0"), QRect(0, 0, 232, 1));
    EXPECT_EQ(f.rect("Line1_1"), QRect(0, 1, 232, 1));
    EXPECT_EQ(f.child<QWidget>("Line1_0")->palette().color(QPalette::Window), QColor(0x808080));
    EXPECT_EQ(f.child<QWidget>("Line1_1")->palette().color(QPalette::Window), QColor(0xFFFFFF));

    // Fixed size: the client area under the menu bar, nothing to resize.
    EXPECT_EQ(f.window->minimumSize(), f.window->maximumSize());
    EXPECT_EQ(f.window->height(), 177 + f.window->menuBar()->height());
    // Opens centred on the screen.
    const QPoint centre = f.window->screen()->availableGeometry().center();
    EXPECT_LE((f.window->geometry().center() - centre).manhattanLength(), 2);
}

TEST(WindowLayout, Dm5120WidensTheWindowButNotTheRule)
{
    WindowFixture f(QStringLiteral("DM5120@16"));
    EXPECT_EQ(f.window->clientArea()->size(), QSize(274, 177));
    EXPECT_EQ(f.rect("Label_ROBackground").width(), 257);
    EXPECT_EQ(f.rect("Label_ReadOut").width(), 225);
    EXPECT_EQ(f.rect("Label_Prefix").left(), 195);
    EXPECT_EQ(f.rect("Button_Refresh"), QRect(180, 116, 85, 21));
    EXPECT_EQ(f.rect("Button_Stop"), QRect(140, 148, 125, 21));
    EXPECT_EQ(f.rect("Line1_0").width(), 232);
}

TEST(WindowLayout, ReadoutInSevenSegmentsLabelsInArialListEntriesWhole)
{
    WindowFixture f;
    QLabel* readout = f.label("Label_ReadOut");
    const QFontInfo face(readout->font());
    EXPECT_TRUE(face.family().startsWith(QStringLiteral("DSEG7"))) << face.family().toStdString();
    EXPECT_TRUE(face.italic());
    EXPECT_EQ(readout->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    // The design text stays whole in the label.
    const QFontMetrics metrics(readout->font(), readout);
    EXPECT_LE(metrics.horizontalAdvance(QStringLiteral("-------")), readout->width());
    EXPECT_LE(metrics.ascent() + metrics.descent(), readout->height());
    // Shipped with the program, not borrowed from the machine.
    EXPECT_FALSE(bundledSevenSegmentFamily().isEmpty());
    // Small labels get Arial or its metric twin.
    const QString family = QFontInfo(f.label("Label_Func")->font()).family();
    EXPECT_TRUE(family == QStringLiteral("Arial") || family == QStringLiteral("Liberation Sans"))
        << family.toStdString();
    EXPECT_EQ(f.label("Label_Prefix")->font().weight(), QFont::Bold);

    // The longest function shows whole in the closed list and the open one.
    QComboBox* mode = f.combo("Combo_Mode");
    QStyleOptionComboBox option;
    option.initFrom(mode);
    const QRect field = mode->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, mode);
    const QString longest = QStringLiteral("DBM ACV");
    EXPECT_LE(QFontMetrics(mode->font()).horizontalAdvance(longest), field.width() - 2);
    f.window->show();
    mode->showPopup();
    EXPECT_LT(QFontMetrics(mode->view()->font()).horizontalAdvance(longest),
              mode->view()->viewport()->width());
    mode->hidePopup();

    // A Segment7 that is not the stand-in keeps its design size.
    QFont::removeSubstitutions(QStringLiteral("Segment7"));
    QFont::insertSubstitution(QStringLiteral("Segment7"), QStringLiteral("DejaVu Sans"));
    const WindowFixture other;
    QFont::removeSubstitutions(QStringLiteral("Segment7"));
    QFont::insertSubstitution(QStringLiteral("Segment7"), bundledSevenSegmentFamily());
    EXPECT_EQ(other.label("Label_ReadOut")->font().pointSizeF(), 32.25);
}

TEST(WindowLayout, TabOrderAndStackingOrder)
{
    WindowFixture f;
    const QStringList order = {QStringLiteral("Button_Refresh"), QStringLiteral("Combo_Mode"),
                               QStringLiteral("Button_Apply"),   QStringLiteral("Button_Run"),
                               QStringLiteral("Button_Stop"),    QStringLiteral("Combo_Range")};
    // Walk the focus chain once round from Refresh; list the named controls.
    QStringList seen;
    QWidget* start = f.button("Button_Refresh");
    QWidget* widget = start;
    for (int step = 0; step < 100; ++step) {
        if (order.contains(widget->objectName()) && !seen.contains(widget->objectName())) {
            seen.append(widget->objectName());
        }
        widget = widget->nextInFocusChain();
        if (widget == start) {
            break;
        }
    }
    EXPECT_EQ(seen, order);
    EXPECT_EQ(f.label("Label_Range")->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(f.window->focusWidget(), f.button("Button_Refresh"));
    // Labels sit under the buttons and over their background.
    const QObjectList& stack = f.window->clientArea()->children(); // bottom first
    auto at = [&](const char* name) { return stack.indexOf(f.child<QObject>(name)); };
    EXPECT_EQ(at("Label_ROBackground"), 0);
    EXPECT_LT(at("Label_Range"), at("Combo_Mode"));
    EXPECT_LT(at("Line1_1"), at("Button_Apply"));
    EXPECT_LT(at("Button_Stop"), at("Combo_Range"));
}

} // namespace
} // namespace lumodm::testing
