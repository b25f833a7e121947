#include "meter/function_table.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

constexpr std::int16_t kDm5010 = 1;
constexpr std::int16_t kDm5110 = 2;
constexpr std::int16_t kDm5120 = 3;

// Each model's list; every code in it has a row whose index is its place.
TEST(FunctionTable, ListsPerModel)
{
    const QStringList lists[] = {
        {"DCV", "ACV", "OHMS"},
        {"DCV", "ACV", "OHMS", "DIODE", "ACDC", "DBM DCV", "DBM ACV"},
        {"DCV", "ACV", "OHMS", "DCA", "ACA", "DBM", "DBV"},
        {"DCV", "ACV", "OHMS", "DCA", "ACA", "DB ACV", "DB ACA"},
    };
    EXPECT_EQ(functionListForModel(-1), lists[0]);
    for (std::int16_t model = 0; model <= kDm5120; ++model) {
        EXPECT_EQ(functionListForModel(model), lists[model]) << model;
        for (int i = 0; model > 0 && i < lists[model].size(); ++i) {
            const FunctionRow* row = findFunction(lists[model][i]);
            ASSERT_NE(row, nullptr) << lists[model][i].toStdString();
            EXPECT_EQ(row->listIndex, i) << lists[model][i].toStdString();
        }
    }
}

TEST(FunctionTable, RowsCarryLabelsAndRangeCounts)
{
    const struct
    {
        const char* code;
        const char* description;
        const char* unit;
        std::int16_t ranges[4];
    } rows[] = {
        {"DCV", "Voltage DC", "V", {0, 5, 5, 4}},
        {"ACV", "Voltage AC", "V", {0, 5, 5, 4}},
        {"OHMS", "Resistance", "Ohm", {0, 6, 6, 7}},
        {"DIODE", "Diode", "", {0, 0, 0, 0}},
        {"ACDC", "Voltage AC+DC", "V", {0, 5, 0, 0}},
        {"DBM DCV", "Voltage DC dBm", "dBm", {0, 0, 0, 0}},
        {"DBM ACV", "Voltage AC dBm", "dBm", {0, 0, 0, 0}},
        {"DCA", "Current DC", "A", {0, 0, 5, 5}},
        {"ACA", "Current AC", "A", {0, 0, 5, 5}},
        {"DBM", "Voltage AC dBm", "dBm", {0, 0, 0, 0}},
        {"DBV", "Voltage AC dBv", "dBv", {0, 0, 0, 0}},
        {"DB ACV", "Voltage AC dB", "dB", {0, 0, 0, 0}},
        {"DB ACA", "Current AC dB", "dB", {0, 0, 0, 0}},
    };
    for (const auto& expected : rows) {
        SCOPED_TRACE(expected.code);
        const FunctionRow* row = findFunction(QString::fromLatin1(expected.code));
        ASSERT_NE(row, nullptr);
        EXPECT_STREQ(row->description, expected.description);
        EXPECT_STREQ(row->unitLabel, expected.unit);
        for (int model = 0; model < 4; ++model) {
            EXPECT_EQ(row->fixedRanges[model], expected.ranges[model]) << model;
        }
    }
    for (const char* code : {"dcv", "DCV ", "DBM  ACV", "DB", ""}) {
        EXPECT_EQ(findFunction(QString::fromLatin1(code)), nullptr) << '"' << code << '"';
    }
}

// The commands Apply writes: the first, and "CALC OFF" (DM5010 only, never
// after a dB function) where it follows.
TEST(FunctionTable, CommandsPerModel)
{
    const struct
    {
        const char* code;
        std::int16_t model;
        QStringList commands;
    } cases[] = {
        {"OHMS", kDm5010, {"OHMS", "CALC OFF"}},
        {"OHMS", kDm5110, {"OHMS"}},
        {"ACV", kDm5120, {"ACV"}},
        {"DIODE", kDm5010, {"DIODE", "CALC OFF"}},
        {"ACDC", kDm5010, {"ACDC", "CALC OFF"}},
        {"DBM DCV", kDm5010, {"DCV;CALC DBM"}},
        {"DBM ACV", kDm5010, {"ACV;CALC DBM"}},
        {"DBM ACV", 4, {"ACV;CALC DBM"}},
        {"DCV", 0, {"DCV"}},
        {"DBV", kDm5110, {"DBV"}},
        {"DB ACV", kDm5120, {"ACVDB"}},
        {"DB ACA", kDm5120, {"ACADB"}},
        {"dbm dcv", kDm5110, {"dbm dcv"}},
    };
    for (const auto& c : cases) {
        const QString first = functionCommand(QString::fromLatin1(c.code));
        QStringList commands{first};
        if (needsCalcOff(first, c.model)) {
            commands.append(QStringLiteral("CALC OFF"));
        }
        EXPECT_EQ(commands, c.commands) << c.code << " model " << c.model;
    }
    EXPECT_FALSE(needsCalcOff(QStringLiteral("XDBX"), kDm5010));
    EXPECT_TRUE(needsCalcOff(QStringLiteral("db"), kDm5010));
}

} // namespace
} // namespace lumodm
