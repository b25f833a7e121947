#include "meter/function_table.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

constexpr std::int16_t kUnknown = 0;
constexpr std::int16_t kDm5010 = 1;
constexpr std::int16_t kDm5110 = 2;
constexpr std::int16_t kDm5120 = 3;

TEST(FunctionTable, ListsPerModel)
{
    EXPECT_EQ(functionListForModel(kDm5010),
              QStringList({"DCV", "ACV", "OHMS", "DIODE", "ACDC", "DBM DCV", "DBM ACV"}));
    EXPECT_EQ(functionListForModel(kDm5110),
              QStringList({"DCV", "ACV", "OHMS", "DCA", "ACA", "DBM", "DBV"}));
    EXPECT_EQ(functionListForModel(kDm5120),
              QStringList({"DCV", "ACV", "OHMS", "DCA", "ACA", "DB ACV", "DB ACA"}));
    EXPECT_EQ(functionListForModel(kUnknown), QStringList({"DCV", "ACV", "OHMS"}));
    EXPECT_EQ(functionListForModel(-1), QStringList({"DCV", "ACV", "OHMS"}));
}

// Every listed code has a row whose index is its place in that model's list.
TEST(FunctionTable, RowIndexMatchesEveryModelsList)
{
    for (std::int16_t model : {kDm5010, kDm5110, kDm5120}) {
        const QStringList list = functionListForModel(model);
        for (int i = 0; i < list.size(); ++i) {
            const FunctionRow* row = findFunction(list[i]);
            ASSERT_NE(row, nullptr) << list[i].toStdString();
            EXPECT_EQ(row->listIndex, i) << list[i].toStdString();
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
        const FunctionRow* row = findFunction(QString::fromLatin1(expected.code));
        ASSERT_NE(row, nullptr) << expected.code;
        EXPECT_STREQ(row->code, expected.code);
        EXPECT_STREQ(row->description, expected.description) << expected.code;
        EXPECT_STREQ(row->unitLabel, expected.unit) << expected.code;
        for (int model = 0; model < 4; ++model) {
            EXPECT_EQ(row->fixedRanges[model], expected.ranges[model])
                << expected.code << " model " << model;
        }
    }
}

TEST(FunctionTable, LookupIsExact)
{
    for (const char* code : {"dcv", "DCV ", " DCV", "DBM  ACV", "DB", "", "Ohms", "DBMACV"}) {
        EXPECT_EQ(findFunction(QString::fromLatin1(code)), nullptr) << '"' << code << '"';
    }
}

// The commands Apply writes: the first, and "CALC OFF" where it follows.
QStringList applyCommands(const char* code, std::int16_t model)
{
    const QString first = functionCommand(QString::fromLatin1(code));
    QStringList commands{first};
    if (needsCalcOff(first, model)) {
        commands.append(QStringLiteral("CALC OFF"));
    }
    return commands;
}

TEST(FunctionTable, CommandsPerModel)
{
    EXPECT_EQ(applyCommands("OHMS", kDm5010), QStringList({"OHMS", "CALC OFF"}));
    EXPECT_EQ(applyCommands("OHMS", kDm5110), QStringList({"OHMS"}));
    EXPECT_EQ(applyCommands("DCV", kDm5120), QStringList({"DCV"}));
    EXPECT_EQ(applyCommands("DIODE", kDm5010), QStringList({"DIODE", "CALC OFF"}));
    EXPECT_EQ(applyCommands("ACDC", kDm5010), QStringList({"ACDC", "CALC OFF"}));
    EXPECT_EQ(applyCommands("DBM DCV", kDm5010), QStringList({"DCV;CALC DBM"}));
    EXPECT_EQ(applyCommands("DBM ACV", kDm5010), QStringList({"ACV;CALC DBM"}));
    EXPECT_EQ(applyCommands("DCA", kDm5110), QStringList({"DCA"}));
    EXPECT_EQ(applyCommands("DBM", kDm5110), QStringList({"DBM"}));
    EXPECT_EQ(applyCommands("DBV", kDm5110), QStringList({"DBV"}));
    EXPECT_EQ(applyCommands("DB ACV", kDm5120), QStringList({"ACVDB"}));
    EXPECT_EQ(applyCommands("DB ACA", kDm5120), QStringList({"ACADB"}));
    // Lookups are exact here too: a near miss passes through unchanged.
    EXPECT_EQ(functionCommand(QStringLiteral("dbm dcv")), QStringLiteral("dbm dcv"));
}

TEST(FunctionTable, CalcOffOnlyOnTheDm5010AndNeverAfterDb)
{
    for (const FunctionRow* row : {findFunction("DCV"), findFunction("DBM ACV")}) {
        const QString command = functionCommand(QString::fromLatin1(row->code));
        for (std::int16_t model : {kUnknown, kDm5110, kDm5120, std::int16_t(4)}) {
            EXPECT_FALSE(needsCalcOff(command, model)) << command.toStdString();
        }
    }
    EXPECT_TRUE(needsCalcOff(QStringLiteral("ACV"), kDm5010));
    EXPECT_FALSE(needsCalcOff(QStringLiteral("XDBX"), kDm5010));
    EXPECT_TRUE(needsCalcOff(QStringLiteral("db"), kDm5010));
}

} // namespace
} // namespace lumodm
