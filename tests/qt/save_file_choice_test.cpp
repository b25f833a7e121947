#include "qt/save_file_choice.h"

#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

TEST(SaveFileChoice, ABareNameTakesTheChosenFiltersExtensionAndFormat)
{
    const QString images = QStringLiteral("PNG image (*.png);;SVG image (*.svg)");
    const char* const svg = "SVG image (*.svg)";
    const char* const cases[][4] = {
        // typed, chosen filter -> path, format
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
