#include "meter/settings_readback.h"
#include "meter/take_reading.h"
#include "tests/meter/scripted_meter.h"

#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

const QString kMicroAmp = QString(QChar(0x00B5)) + QLatin1Char('A');

// One cycle on a meter that answers "FUNCT?" (and "RANGE?"/"CALC?") so that
// the settings match the panel, then "SEND".
struct ReadingCase
{
    std::int16_t model;
    const char* code;
    const char* functAnswer;
    const char* rangeAnswer; // "RANGE?" (DM5110/DM5120) or "CALC?" (DM5010)
    const char* sendAnswer;
    const char* readout;
    QString unit;
    std::int16_t rangeAfter;
};

void PrintTo(const ReadingCase& c, std::ostream* os)
{
    *os << "model " << c.model << " " << c.code << " SEND " << c.sendAnswer;
}

class Reading : public ::testing::TestWithParam<ReadingCase>
{
};

TEST_P(Reading, PicksUnitDigitsAndRange)
{
    const ReadingCase& c = GetParam();
    ScriptedMeter meter(c.model);
    meter.showFunction(QString::fromLatin1(c.code));
    meter.form.Label_Prefix.caption = QStringLiteral("was");
    meter.answer("FUNCT?", c.functAnswer);
    meter.answer(c.model == 1 ? "CALC?" : "RANGE?", c.rangeAnswer);
    meter.answer("SEND", c.sendAnswer);

    TakeReading(meter.context);

    EXPECT_EQ(meter.form.Label_ReadOut.caption, QString::fromLatin1(c.readout));
    EXPECT_EQ(meter.form.Label_Prefix.caption, c.unit);
    EXPECT_EQ(meter.form.state.RangeNumber, c.rangeAfter);
    EXPECT_EQ(meter.commands().back(), QByteArray("SEND"));
    EXPECT_TRUE(meter.platform.messages().empty());
    EXPECT_EQ(meter.stopCalls, 0);
}

const QString V = QStringLiteral("V");
const QString mV = QStringLiteral("mV");
const QString Ohm = QStringLiteral("Ohm");
const QString kOhm = QStringLiteral("kOhm");
const QString MOhm = QStringLiteral("MOhm");
const QString A = QStringLiteral("A");
const QString mA = QStringLiteral("mA");
const QString kept = QStringLiteral("was");

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, Reading,
    ::testing::Values(ReadingCase{1, "DCV", "DCV 0;", "CALC OFF", "0.0123456", " 12.34", mV, 1},
                      ReadingCase{3, "ACV", "FUNCT ACV;", "RANGE 2;", "1.2345678", " 1.23456", V,
                                  2},
                      ReadingCase{2, "DCA", "FUNCT DCA;", "RANGE 0;", "0.0005", " 0.5000", mA, 2},
                      ReadingCase{1, "OHMS", "OHMS 0;", "", "1500", " 1.5000", kOhm, 2},
                      ReadingCase{1, "DCV", "DCV 0;", "CALC OFF", "9.9E37", "OVERFLO", V, 0}));

INSTANTIATE_TEST_SUITE_P(
    TableLimits, Reading,
    ::testing::Values(
        // A limit belongs to the next row up.
        ReadingCase{1, "DCV", "DCV 0;", "CALC OFF", "0.2", " 0.2000", V, 2},
        ReadingCase{1, "DCV", "DCV 0;", "CALC OFF", "-0.19999", "-199.99", mV, 1},
        ReadingCase{2, "ACV", "FUNCT ACV;", "RANGE 0;", "199.99", " 199.99", V, 4},
        ReadingCase{2, "ACV", "FUNCT ACV;", "RANGE 0;", "999.9", " 999.9", V, 5},
        // 1000 V fits no row: automatic stays, general form in volts.
        ReadingCase{1, "DCV", "DCV 0;", "CALC OFF", "1000", " 1000", V, 0},
        // A negative (automatic) DM5010 range uses its magnitude's row.
        ReadingCase{1, "ACDC", "ACDC -2;", "", "0.05", " 0.0500", V, -2},
        // The DM5120 has no row for a negative range: general form.
        ReadingCase{3, "DCV", "FUNCT DCV;", "RANGE -1;", "1.5", " 1.5", V, -1},
        ReadingCase{3, "DCV", "FUNCT DCV;", "RANGE 0;", "0.29999", " 299.9900", mV, 1},
        ReadingCase{3, "DCV", "FUNCT DCV;", "RANGE 0;", "0.3", " 0.300000", V, 2},
        // DM5120 AC volts show one digit fewer, also without a row (0.1:
        // one rounded fraction digit).
        ReadingCase{3, "ACV", "FUNCT ACV;", "RANGE 0;", "0.1234567", " 123.456", mV, 1},
        ReadingCase{3, "ACV", "FUNCT ACV;", "RANGE 0;", "512.34", " 512.3", V, 0},
        // Resistance compares the signed value: a negative reading is row 1.
        ReadingCase{1, "OHMS", "OHMS 0;", "", "-5000", "-5000.00", Ohm, 1},
        ReadingCase{2, "OHMS", "FUNCT OHMS;", "RANGE 0;", "199.99", " 199.99", Ohm, 1},
        ReadingCase{2, "OHMS", "FUNCT OHMS;", "RANGE 0;", "200", " 0.2000", kOhm, 2},
        ReadingCase{2, "OHMS", "FUNCT OHMS;", "RANGE 0;", "19999000", " 19.999", MOhm, 6},
        ReadingCase{1, "OHMS", "OHMS 200;", "", "1500", " 1500.00", Ohm, 1},
        ReadingCase{3, "OHMS", "FUNCT OHMS;", "RANGE 0;", "299999000", " 299.999", MOhm, 7},
        ReadingCase{3, "OHMS", "FUNCT OHMS;", "RANGE 0;", "2999.9", " 2.999900", kOhm, 2},
        // DM5110 current: milliamperes first, then the row.
        ReadingCase{2, "ACA", "FUNCT ACA;", "RANGE 0;", "0.0001", " 100.00", kMicroAmp, 1},
        ReadingCase{2, "ACA", "FUNCT ACA;", "RANGE 0;", "1.5", " 1500.0", mA, 5},
        ReadingCase{2, "DCA", "FUNCT DCA;", "RANGE 0;", "2", " 2000", mA, 0},
        ReadingCase{2, "DCA", "FUNCT DCA;", "RANGE 3;", "0.0123", " 12.300", mA, 3},
        // DM5120 current, in amperes.
        ReadingCase{3, "DCA", "FUNCT DCA;", "RANGE 0;", "0.0002", " 200.000", kMicroAmp, 1},
        ReadingCase{3, "DCA", "FUNCT DCA;", "RANGE 0;", "0.0003", " 0.30000", mA, 2},
        ReadingCase{3, "ACA", "FUNCT ACA;", "RANGE 0;", "2.5", " 2.50000", A, 5},
        ReadingCase{3, "ACA", "FUNCT ACA;", "RANGE 0;", "3", " 3", A, 0},
        // Diode and dB readings keep the unit label.
        ReadingCase{1, "DIODE", "DIODE;", "", "0.51239", " 0.5123", kept, 0},
        ReadingCase{1, "DBM ACV", "ACV 2;", "CALC DBM", "-12.345", "-12.34", kept, 0},
        ReadingCase{2, "DBV", "FUNCT DBV;", "RANGE 0;", "3.999", " 3.99", kept, 0},
        ReadingCase{3, "DB ACA", "FUNCT ACADB;", "RANGE 0;", "20.5", " 20.50", kept, 0}));

INSTANTIATE_TEST_SUITE_P(
    Overflow, Reading,
    ::testing::Values(
        ReadingCase{2, "DBM", "FUNCT DBM;", "RANGE 0;", "9.0000001E9", "OVERFLO", kept, 0},
        ReadingCase{2, "DBM", "FUNCT DBM;", "RANGE 0;", "-9.0000001E9", "OVERFLO", kept, 0},
        ReadingCase{1, "DIODE", "DIODE;", "", "1E10", "OVERFLO", kept, 0},
        ReadingCase{1, "OHMS", "OHMS 0;", "", "9.9E37", "OVERFLO", Ohm, 0},
        ReadingCase{2, "DCA", "FUNCT DCA;", "RANGE 0;", "9.9E37", "OVERFLO", A, 0},
        ReadingCase{3, "ACV", "FUNCT ACV;", "RANGE 2;", "1E400", "OVERFLO", V, 2}));

TEST(OverflowLimit, EqualToTheLimitIsStillAReading)
{
    ScriptedMeter meter(2);
    meter.showFunction(QStringLiteral("DBM"));
    meter.answer("FUNCT?", "FUNCT DBM;");
    meter.answer("RANGE?", "RANGE 0;");
    meter.answer("SEND", "9E9");

    TakeReading(meter.context);

    EXPECT_NE(meter.form.Label_ReadOut.caption, QStringLiteral("OVERFLO"));
    ASSERT_EQ(meter.observer.records.size(), 1U);
    EXPECT_EQ(meter.observer.records[0].kind, ReadingRecord::Kind::Value);
}

TEST(ReadingObserver, IsToldTheDisplayedValue)
{
    ScriptedMeter meter(2);
    meter.showFunction(QStringLiteral("DCA"));
    meter.answer("FUNCT?", "FUNCT DCA;");
    meter.answer("RANGE?", "RANGE 0;");
    meter.answer("SEND", "0.0005");

    TakeReading(meter.context);

    ASSERT_EQ(meter.observer.records.size(), 1U);
    const ReadingRecord& r = meter.observer.records.front();
    EXPECT_EQ(r.kind, ReadingRecord::Kind::Value);
    EXPECT_EQ(r.functionCode, QStringLiteral("DCA"));
    EXPECT_EQ(r.rangeNumber, 2);
    EXPECT_DOUBLE_EQ(r.value, 0.5);
    EXPECT_EQ(r.unit, mA);
    EXPECT_EQ(r.readoutText, QStringLiteral(" 0.5000"));
    EXPECT_EQ(r.rawAnswer, QStringLiteral("0.0005"));
}

TEST(ReadingObserver, IsToldOfAnOverflow)
{
    ScriptedMeter meter(1);
    meter.showFunction(QStringLiteral("OHMS"));
    meter.answer("FUNCT?", "OHMS 0;");
    meter.answer("SEND", "9.9E37");

    TakeReading(meter.context);

    ASSERT_EQ(meter.observer.records.size(), 1U);
    EXPECT_EQ(meter.observer.records[0].kind, ReadingRecord::Kind::Overflow);
    EXPECT_EQ(meter.observer.records[0].readoutText, QStringLiteral("OVERFLO"));
    EXPECT_EQ(meter.observer.records[0].unit, Ohm);
}

TEST(UnknownFunction, ClearsTheUnitAndWritesTheGeneralForm)
{
    ScriptedMeter meter(2);
    meter.form.Combo_Mode.setListIndex(0); // "DCV"
    meter.form.state.FunctionCode = QStringLiteral("XYZ");
    meter.form.Label_Prefix.caption = QStringLiteral("V");
    meter.answer("FUNCT?", "FUNCT DCV;");
    meter.answer("RANGE?", "RANGE 0;");
    meter.answer("SEND", "0.5");

    TakeReading(meter.context);

    EXPECT_EQ(meter.form.Label_ReadOut.caption, QStringLiteral(" 0.5"));
    EXPECT_EQ(meter.form.Label_Prefix.caption, QString());
    EXPECT_EQ(meter.form.state.RangeNumber, 0);
}

TEST(SkippedCycle, RangeListOpenSendsNothingAndChangesNothing)
{
    ScriptedMeter meter(2);
    meter.showFunction(QStringLiteral("DCV"));
    meter.form.Combo_Range.visible = true;
    meter.form.Label_ReadOut.caption = QStringLiteral(" 1.0000");
    meter.form.Label_Prefix.caption = QStringLiteral("V");

    TakeReading(meter.context);

    EXPECT_TRUE(meter.commands().empty());
    EXPECT_EQ(meter.form.Label_ReadOut.caption, QStringLiteral(" 1.0000"));
    EXPECT_EQ(meter.form.Label_Prefix.caption, QStringLiteral("V"));
    EXPECT_TRUE(meter.observer.records.empty());
}

// A user event that arrives while "SEND" waits for its answer.
void duringSend(ScriptedMeter& meter, std::function<void()> event)
{
    meter.driver.onCall = [&meter, event](const std::string& line) {
        if (line == "ibwrt 17 \"SEND\"") {
            meter.platform.postEvent(event);
        }
    };
}

TEST(StopDuringSend, KeepsTheHyphensUnlessTheReadingOverflowed)
{
    for (const char* answer : {"0.0123", "9.9E37"}) {
        ScriptedMeter meter(2);
        meter.showFunction(QStringLiteral("DCV"));
        meter.form.Label_Prefix.caption = QStringLiteral("mV");
        meter.answer("FUNCT?", "FUNCT DCV;");
        meter.answer("RANGE?", "RANGE 0;");
        meter.answer("SEND", answer);
        duringSend(meter, [&meter] { Button_Stop_Click(meter.form); });

        TakeReading(meter.context);

        const bool overflow = QByteArray(answer) == "9.9E37";
        EXPECT_EQ(meter.form.Label_ReadOut.caption,
                  overflow ? QStringLiteral("OVERFLO") : QStringLiteral("-------"));
        EXPECT_EQ(meter.form.Label_Prefix.caption, V);
        EXPECT_EQ(meter.observer.records.size(), overflow ? 1U : 0U);
    }
}

TEST(RangeListOpenedDuringSend, KeepsTheReadingOffTheDisplay)
{
    ScriptedMeter meter(3);
    meter.showFunction(QStringLiteral("OHMS"));
    meter.form.Label_ReadOut.caption = QStringLiteral(" 1.0000");
    meter.form.Label_Prefix.caption = QStringLiteral("kOhm");
    meter.answer("FUNCT?", "FUNCT OHMS;");
    meter.answer("RANGE?", "RANGE 0;");
    meter.answer("SEND", "12");
    duringSend(meter, [&meter] { meter.form.Combo_Range.visible = true; });

    TakeReading(meter.context);

    EXPECT_EQ(meter.form.Label_ReadOut.caption, QStringLiteral(" 1.0000"));
    EXPECT_EQ(meter.form.Label_Prefix.caption, QStringLiteral("kOhm"));
    EXPECT_TRUE(meter.observer.records.empty());
}

TEST(NoNumber, ShowsTheHyphensAndKeepsUnitAndRange)
{
    // A failed exchange (timeout) and an answer that holds no number.
    for (const char* answer : {static_cast<const char*>(nullptr), "ERROR", "-.E5"}) {
        ScriptedMeter meter(1);
        meter.showFunction(QStringLiteral("DCV"));
        meter.form.Label_ReadOut.caption = QStringLiteral(" 12.34");
        meter.form.Label_Prefix.caption = mV;
        meter.answer("FUNCT?", "DCV 0;");
        meter.answer("CALC?", "CALC OFF");
        if (answer) {
            meter.answer("SEND", answer);
        }

        TakeReading(meter.context);

        EXPECT_EQ(meter.form.Label_ReadOut.caption, QStringLiteral("-------"));
        EXPECT_EQ(meter.form.Label_Prefix.caption, mV);
        EXPECT_EQ(meter.form.state.RangeNumber, 0);
        EXPECT_EQ(meter.stopCalls, 0);
        EXPECT_EQ(meter.form.state.StopRequested, kFalse);
        ASSERT_EQ(meter.observer.records.size(), 1U);
        EXPECT_EQ(meter.observer.records[0].kind, ReadingRecord::Kind::NoReading);
        EXPECT_EQ(meter.observer.records[0].unit, mV);
        EXPECT_EQ(meter.observer.records[0].rawAnswer, QString::fromLatin1(answer));
    }
}

TEST(NoNumber, AGenuineZeroIsStillAReading)
{
    for (const char* answer : {"0", " -0.000E+0", "+.0"}) {
        ScriptedMeter meter(1);
        meter.showFunction(QStringLiteral("DCV"));
        meter.answer("FUNCT?", "DCV 0;");
        meter.answer("CALC?", "CALC OFF");
        meter.answer("SEND", answer);

        TakeReading(meter.context);

        EXPECT_EQ(meter.form.Label_ReadOut.caption.trimmed().remove(QLatin1Char('-')),
                  QStringLiteral("0.00"))
            << answer;
        EXPECT_EQ(meter.form.Label_Prefix.caption, mV) << answer;
        EXPECT_EQ(meter.observer.records.at(0).kind, ReadingRecord::Kind::Value) << answer;
    }
}

const char* const kMismatchText =
    "A mismatch between the program setting and the actual setting of the DM5110 has been "
    "detected.\n\nSelect Apply to reset the DM5110 to the program setting\n"
    "                                        or\n"
    "Refresh to import the DM5110 setting to the program";

// The panel as the run loop leaves it while running.
void setRunning(Form1& form)
{
    form.Label_RunStop.caption = QStringLiteral("Running");
    form.Menu_File.enabled = false;
    form.Menu_Utilities.enabled = false;
    form.Menu_About.enabled = false;
    form.Combo_Mode.enabled = false;
    form.Button_Apply.enabled = false;
    form.Menu_Apply.enabled = false;
    form.Button_Refresh.enabled = false;
    form.Button_Stop.enabled = true;
    form.Button_Run.enabled = false;
}

TEST(Mismatch, StopsTheRunAndLeavesApplyToSettleIt)
{
    ScriptedMeter meter(2);
    meter.showFunction(QStringLiteral("DCV"));
    setRunning(meter.form);
    meter.form.Label_ReadOut.caption = QStringLiteral(" 12.34");
    meter.form.Label_Prefix.caption = mV;
    meter.answer("FUNCT?", "FUNCT ACV;");
    meter.answer("RANGE?", "RANGE 2;");
    bool applyWhileShown = true;
    Boolean16 stopWhileShown = kTrue;
    meter.platform.onMessage = [&](const ShownMessage&) {
        applyWhileShown = meter.form.Button_Apply.enabled || meter.form.Menu_Apply.enabled;
        stopWhileShown = meter.form.state.StopRequested;
    };

    TakeReading(meter.context);

    ASSERT_EQ(meter.platform.messages().size(), 1U);
    const ShownMessage& box = meter.platform.messages().front();
    EXPECT_EQ(box.text, QString::fromLatin1(kMismatchText));
    EXPECT_EQ(box.title, QStringLiteral("Settings Error"));
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
    EXPECT_EQ(box.icon, MessageIcon::Stop);
    // The box comes first; Apply and Stop follow it.
    EXPECT_FALSE(applyWhileShown);
    EXPECT_EQ(stopWhileShown, kFalse);

    EXPECT_EQ(meter.stopCalls, 1);
    EXPECT_EQ(meter.form.state.StopRequested, kTrue);
    EXPECT_TRUE(meter.form.Button_Apply.enabled);
    EXPECT_TRUE(meter.form.Menu_Apply.enabled);
    EXPECT_FALSE(meter.form.Button_Run.enabled);
    EXPECT_FALSE(meter.form.Button_Stop.enabled);
    EXPECT_EQ(meter.form.Label_RunStop.caption, QStringLiteral("Stopped"));
    EXPECT_EQ(meter.form.Label_ReadOut.caption, QStringLiteral("-------"));
    EXPECT_EQ(meter.form.Label_Prefix.caption, V);
    EXPECT_EQ(meter.commands(), (std::vector<QByteArray>{"FUNCT?", "RANGE?"}));
    EXPECT_TRUE(meter.observer.records.empty());
}

TEST(Mismatch, AFailedReadBackCountsToo)
{
    ScriptedMeter meter(1);
    meter.showFunction(QStringLiteral("OHMS"));
    // No answer to "FUNCT?": the I/O Error box, then the mismatch.

    TakeReading(meter.context);

    ASSERT_EQ(meter.platform.messages().size(), 2U);
    EXPECT_EQ(meter.platform.messages()[0].title, QStringLiteral("I/O Error"));
    EXPECT_EQ(meter.platform.messages()[1].title, QStringLiteral("Settings Error"));
    EXPECT_EQ(meter.stopCalls, 1);
    EXPECT_EQ(meter.commands(), std::vector<QByteArray>{"FUNCT?"});
}

} // namespace
} // namespace lumodm::testing
