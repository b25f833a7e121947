#include "qt/panel_fonts.h"

#include <QApplication>
#include <gtest/gtest.h>

// The window tests need widgets but never a display: the offscreen
// platform, unless the caller chose one.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    lumodm::installPanelFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
