#include "meter/settings_readback.h"
#include "tests/meter/scripted_meter.h"

#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

QStringList rangeList(int count)
{
    QStringList list{QStringLiteral("Auto")};
    for (int i = 1; i <= count; ++i) {
        list << QStringLiteral("Range%1").arg(i);
    }
    return list;
}

// The answers turned into code and range, the list rebuilt for the code
// (the caption names the list entry).
TEST(ReadBack, TurnsTheAnswersIntoCodeAndRange)
{
    const struct
    {
        std::int16_t model;
        const char* functAnswer;
        const char* secondCommand; // "CALC?", "RANGE?" or nullptr (not asked)
        const char* secondAnswer;
        const char* code;
        std::int16_t rangeNumber;
        int rangeIndex;
        int listEntries;
    } cases[] = {
        // DM5010: code and range value in one answer; "CALC?" only for DCV/ACV.
        {1, "OHMS 2E+07;", nullptr, nullptr, "OHMS", 6, 6, 7},
        {1, "OHMS -200;", nullptr, nullptr, "OHMS", -1, 0, 7},
        {1, "DCV 0.2;", "CALC?", "CALC OFF", "DCV", 1, 1, 6},
        {1, "ACV 2;", "CALC?", "CALC DBM", "DBM ACV", 0, 0, 1},
        {1, "DIODE;", nullptr, nullptr, "DIODE", 0, 0, 1},
        // A range value of 0 has no logarithm: automatic range.
        {1, "DCV 0;", "CALC?", "CALC OFF", "DCV", 0, 0, 6},
        // DM5110: the range number comes from "RANGE?".
        {2, "FUNCT DCV;", "RANGE?", "RANGE 9;", "DCV", 5, 5, 6},
        {2, "FUNCT DBV;", "RANGE?", "RANGE 3;", "DBV", 0, 0, 1},
        // Beyond 16 bits the number saturates; the list then cuts it.
        {2, "FUNCT ACA;", "RANGE?", "RANGE 1E9;", "ACA", 5, 5, 6},
        {2, "FUNCT ACA;", "RANGE?", "RANGE -1E9;", "ACA", -32768, 0, 6},
        // DM5120: "DB" functions are rewritten to "DB " + their base function.
        {3, "FUNCT ACADB;", "RANGE?", "RANGE 2;", "DB ACA", 0, 0, 1},
        {3, "FUNCT OHMS;", "RANGE?", "RANGE 7;", "OHMS", 7, 7, 8},
        // The range is read after the function answer's space position,
        // whatever the range answer looks like.
        {3, "FUNCT DCV;", "RANGE?", "XXXXXX2;", "DCV", 2, 2, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.functAnswer);
        ScriptedMeter meter(c.model);
        meter.answer("FUNCT?", c.functAnswer);
        std::vector<QByteArray> expected{"FUNCT?"};
        if (c.secondCommand) {
            meter.answer(c.secondCommand, c.secondAnswer);
            expected.emplace_back(c.secondCommand);
        }

        EXPECT_EQ(ReadSettings(meter.context), QString::fromLatin1(c.code));

        EXPECT_EQ(meter.commands(), expected);
        EXPECT_EQ(meter.form.state.RangeNumber, c.rangeNumber);
        EXPECT_EQ(meter.form.Label_Range.caption,
                  c.rangeIndex ? QStringLiteral("Range%1").arg(c.rangeIndex) : "Auto");
        EXPECT_EQ(meter.form.Combo_Range.listIndex(), c.rangeIndex);
        EXPECT_EQ(meter.form.Combo_Range.items(), rangeList(c.listEntries - 1));
        EXPECT_EQ(meter.form.Label_Range.visible, c.listEntries > 1);
        EXPECT_TRUE(meter.platform.messages().empty());
    }
}

// During a run the voltage list stays; a current list is rebuilt.
TEST(ReadBackDuringRun, KeepsVoltageListButRebuildsCurrentList)
{
    const struct
    {
        const char* funct;
        const char* range;
        int entries;
        int index;
    } cases[] = {{"FUNCT DCV;", "RANGE 2;", 2, 2}, {"FUNCT DCA;", "RANGE 4;", 5, 4}};
    for (const auto& c : cases) {
        ScriptedMeter meter(2);
        FillRangeList(meter.form, 2);
        meter.answer("FUNCT?", c.funct);
        meter.answer("RANGE?", c.range);
        EXPECT_EQ(ReadSettings(meter.context, true), QString::fromLatin1(c.funct + 6).chopped(1));
        EXPECT_EQ(meter.form.Combo_Range.items(), rangeList(c.entries)) << c.funct;
        EXPECT_EQ(meter.form.Combo_Range.listIndex(), c.index) << c.funct;
    }
    // A list never filled (the first read-back failed) cuts the range to 0.
    ScriptedMeter meter(2);
    meter.answer("FUNCT?", "FUNCT DCV;");
    meter.answer("RANGE?", "RANGE 3;");
    ReadSettings(meter.context, true);
    EXPECT_EQ(meter.form.state.RangeNumber, 0);
    EXPECT_EQ(meter.form.Label_Range.caption, QStringLiteral("Range0"));
}

TEST(ReadBackFailure, NoAnswerGivesACodeOutsideTheTable)
{
    for (std::int16_t model : {1, 3}) {
        ScriptedMeter meter(model);
        meter.form.state.RangeNumber = 3;
        FillRangeList(meter.form, 5);
        // No "FUNCT?" answer: the read times out after the I/O Error box.
        const QString code = ReadSettings(meter.context);
        EXPECT_EQ(findFunction(code), nullptr) << "model " << model;
        EXPECT_EQ(meter.form.state.RangeNumber, 3) << "model " << model;
        EXPECT_EQ(meter.form.Combo_Range.listCount(), 6) << "model " << model;
        ASSERT_FALSE(meter.platform.messages().empty());
        EXPECT_EQ(meter.platform.messages().front().title, QStringLiteral("I/O Error"));
    }
}

TEST(UpdateFunction, ShowsWhatTheMeterReportsAndSettlesApplyAndRun)
{
    const struct
    {
        std::int16_t model;
        const char* functAnswer;
        const char* secondAnswer;
        const char* description;
        const char* unit;
        int listIndex;
    } cases[] = {
        {1, "DIODE;", "", "Diode", "", 3},
        {1, "ACV 2;", "CALC DBM", "Voltage AC dBm", "dBm", 6},
        {2, "FUNCT DBM;", "RANGE 0;", "Voltage AC dBm", "dBm", 5},
        {3, "FUNCT ACVDB;", "RANGE 0;", "Voltage AC dB", "dB", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.functAnswer);
        ScriptedMeter meter(c.model);
        meter.answer("FUNCT?", c.functAnswer);
        meter.answer(c.model == 1 ? "CALC?" : "RANGE?", c.secondAnswer);
        // The list's own handler marks a change as pending, as the panel's does.
        meter.form.Combo_Mode.onClick = [&meter] {
            meter.form.Button_Apply.enabled = meter.form.Menu_Apply.enabled = true;
        };
        meter.form.Button_Run.enabled = false;

        UpdateFunction(meter.context);

        EXPECT_EQ(meter.form.Label_Func.caption, QString::fromUtf8(c.description));
        EXPECT_EQ(meter.form.Label_Prefix.caption, QString::fromUtf8(c.unit));
        EXPECT_EQ(meter.form.Combo_Mode.listIndex(), c.listIndex);
        EXPECT_EQ(meter.form.state.AppliedFunctionIndex, c.listIndex);
        EXPECT_EQ(meter.form.state.FunctionCode, meter.form.Combo_Mode.text());
        EXPECT_FALSE(meter.form.Button_Apply.enabled || meter.form.Menu_Apply.enabled);
        EXPECT_TRUE(meter.form.Button_Run.enabled);
    }
}

TEST(UpdateFunctionUnknownCode, LeavesTheDisplayButSettlesApplyAndRun)
{
    ScriptedMeter meter(2);
    meter.form.Combo_Mode.setListIndex(1);
    meter.form.Label_Func.caption = QStringLiteral("Voltage AC");
    meter.form.Label_Prefix.caption = QStringLiteral("V");
    meter.form.Button_Apply.enabled = meter.form.Menu_Apply.enabled = true;
    meter.form.Button_Run.enabled = false;
    meter.answer("FUNCT?", "FUNCT dcv;");
    meter.answer("RANGE?", "RANGE 1;");

    UpdateFunction(meter.context);

    EXPECT_EQ(meter.form.state.FunctionCode, QStringLiteral("dcv"));
    EXPECT_EQ(meter.form.Label_Func.caption, QStringLiteral("Voltage AC"));
    EXPECT_EQ(meter.form.Label_Prefix.caption, QStringLiteral("V"));
    EXPECT_EQ(meter.form.state.AppliedFunctionIndex, 1);
    EXPECT_FALSE(meter.form.Button_Apply.enabled || meter.form.Menu_Apply.enabled);
    EXPECT_TRUE(meter.form.Button_Run.enabled);
}

} // namespace
} // namespace lumodm::testing
