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
    } cases[] = {
        {"ID TEK/DM5110,V79.1,F2.0", "DM5110"},
        {"ID SONY_TEK/DM5120,V1.0/2", "DM5120"},
        {"DM5010,V1", "DM5010"}, // no slash: the text before the comma
        {"A/,B", ""},
        {"TEK/DM5010", nullptr}, // no comma
        {"", nullptr},
        {"X,Y/Z", nullptr}, // comma before the slash
    };
    for (const auto& c : cases) {
        const auto name = modelNameFromIdentification(QString::fromLatin1(c.answer));
        if (c.name == nullptr) {
            EXPECT_FALSE(name.has_value()) << c.answer;
        } else {
            ASSERT_TRUE(name.has_value()) << c.answer;
            EXPECT_EQ(*name, QString::fromLatin1(c.name)) << c.answer;
        }
    }
}

TEST(ModelIdentity, OnlyTheThreeExactNamesAreSupported)
{
    EXPECT_EQ(modelCodeFor(QStringLiteral("DM5010")), 1);
    EXPECT_EQ(modelCodeFor(QStringLiteral("DM5110")), 2);
    EXPECT_EQ(modelCodeFor(QStringLiteral("DM5120")), 3);
    EXPECT_EQ(modelCodeFor(QStringLiteral("dm5110")), 0);
    EXPECT_EQ(modelCodeFor(QStringLiteral("DM5110 ")), 0);
    EXPECT_EQ(modelCodeFor(QString()), 0);
}

} // namespace
} // namespace lumodm
