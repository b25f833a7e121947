#include "meter/meter_model.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

TEST(ModelIdentity, TheDesignationStandsBetweenTheFirstSlashAndComma)
{
    const struct
    {
        const char* answer;
        const char* name; // nullptr: no designation
        MeterModel model;
    } cases[] = {
        {"ID TEK/DM5110,V79.1,F2.0", "DM5110", MeterModel::DM5110},
        {"ID SONY_TEK/DM5120,V1.0/2", "DM5120", MeterModel::DM5120},
        {"DM5010,V1", "DM5010", MeterModel::DM5010}, // no slash: the text before the comma
        {"ID TEK/dm5110,V1", "dm5110", MeterModel::None},
        {"ID TEK/DM5110 ,V1", "DM5110 ", MeterModel::None},
        {"A/,B", "", MeterModel::None},
        {"TEK/DM5010", nullptr, MeterModel::None}, // no comma
        {"", nullptr, MeterModel::None},
        {"X,Y/Z", nullptr, MeterModel::None}, // comma before the slash
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        const auto name = modelNameFromIdentification(QString::fromLatin1(c.answer));
        ASSERT_EQ(name.has_value(), c.name != nullptr);
        if (name) {
            EXPECT_EQ(*name, QString::fromLatin1(c.name));
            EXPECT_EQ(meterModelNamed(*name), c.model);
        }
    }
}

} // namespace
} // namespace lumodm
