#include "panel/model_identity.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

TEST(ModelIdentity, TheDesignationStandsBetweenTheFirstSlashAndComma)
{
    const struct
    {
        const char* answer;
        const char* name; // nullptr: no designation
        std::int16_t code;
    } cases[] = {
        {"ID TEK/DM5110,V79.1,F2.0", "DM5110", 2},
        {"ID SONY_TEK/DM5120,V1.0/2", "DM5120", 3},
        {"DM5010,V1", "DM5010", 1}, // no slash: the text before the comma
        {"ID TEK/dm5110,V1", "dm5110", 0},
        {"ID TEK/DM5110 ,V1", "DM5110 ", 0},
        {"A/,B", "", 0},
        {"TEK/DM5010", nullptr, 0}, // no comma
        {"", nullptr, 0},
        {"X,Y/Z", nullptr, 0}, // comma before the slash
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        const auto name = modelNameFromIdentification(QString::fromLatin1(c.answer));
        ASSERT_EQ(name.has_value(), c.name != nullptr);
        if (name) {
            EXPECT_EQ(*name, QString::fromLatin1(c.name));
            EXPECT_EQ(modelCodeFor(*name), c.code);
        }
    }
}

} // namespace
} // namespace lumodm
