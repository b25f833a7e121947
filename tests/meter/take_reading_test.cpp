#include "meter/take_reading.h"
#include "tests/meter/scripted_meter.h"

#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

const QString V = QStringLiteral("V");
const QString mV = QStringLiteral("mV");
const QString Ohm = QStringLiteral("Ohm");
const QString MOhm = QStringLiteral("MOhm");
const QString A = QStringLiteral("A");
const QString mA = QStringLiteral("mA");
const QString uA = QString(QChar(0x00B5)) + QLatin1Char('A');
const QString kept = QStringLiteral("was"); // the label before the reading

// A meter whose settings match the panel's `code`; the second answer is
// "CALC?" on the DM5010 and "RANGE?" on the others.
void setUp(ScriptedMeter& meter, const char* code, const char* funct, const char* second,
           const char* send)
{
    meter.showFunction(QString::fromLatin1(code));
    meter.form.Label_Prefix.caption = kept;
    meter.answer("FUNCT?", funct);
    meter.answer(meter.form.state.ModelCode == 1 ? "CALC?" : "RANGE?", second);
    if (send) {
        meter.answer("SEND", send);
    }
}

// The worked examples run through the simulator in the bus tests; here the
// table limits, per model, and the overflow.
TEST(Reading, PicksUnitDigitsAndRange)
{
    const struct
    {
        std::int16_t model;
        const char* code;
        const char* functAnswer;
        const char* secondAnswer;
        const char* sendAnswer;
        const char* readout;
        QString unit;
        std::int16_t rangeAfter;
    } cases[] = {
        // A limit belongs to the next row up; a negative value compares its magnitude.
        {1, "DCV", "DCV 0;", "CALC OFF", "0.2", " 0.2000", V, 2},
        {1, "DCV", "DCV 0;", "CALC OFF", "-0.19999", "-199.99", mV, 1},
        // 1000 V fits no row: automatic stays, general form in volts.
        {1, "DCV", "DCV 0;", "CALC OFF", "1000", " 1000", V, 0},
        // A negative (automatic) DM5010 range uses its magnitude's row ...
        {1, "ACDC", "ACDC -2;", "", "0.05", " 0.0500", V, -2},
        // ... the DM5120 has no row for it.
        {3, "DCV", "FUNCT DCV;", "RANGE -1;", "1.5", " 1.5", V, -1},
        // DM5120 AC volts show one digit fewer, also without a row (0.1:
        // one rounded fraction digit).
        {3, "ACV", "FUNCT ACV;", "RANGE 0;", "0.1234567", " 123.456", mV, 1},
        {3, "ACV", "FUNCT ACV;", "RANGE 0;", "512.34", " 512.3", V, 0},
        // Resistance compares the signed value: a negative reading is row 1.
        {1, "OHMS", "OHMS 0;", "", "-5000", "-5000.00", Ohm, 1},
        {2, "OHMS", "FUNCT OHMS;", "RANGE 0;", "19999000", " 19.999", MOhm, 6},
        {3, "OHMS", "FUNCT OHMS;", "RANGE 0;", "299999000", " 299.999", MOhm, 7},
        // DM5110 current: milliamperes first, then the row.
        {2, "ACA", "FUNCT ACA;", "RANGE 0;", "0.0001", " 100.00", uA, 1},
        {2, "DCA", "FUNCT DCA;", "RANGE 0;", "2", " 2000", mA, 0},
        // DM5120 current, in amperes.
        {3, "DCA", "FUNCT DCA;", "RANGE 0;", "0.0002", " 200.000", uA, 1},
        {3, "ACA", "FUNCT ACA;", "RANGE 0;", "3", " 3", A, 0},
        // Diode and dB readings keep the unit label.
        {1, "DIODE", "DIODE;", "", "0.51239", " 0.5123", kept, 0},
        {1, "DBM ACV", "ACV 2;", "CALC DBM", "-12.345", "-12.34", kept, 0},
        {3, "DB ACA", "FUNCT ACADB;", "RANGE 0;", "20.5", " 20.50", kept, 0},
        // Overflow: beyond 9E9, or the meter's own 9.9E37 (the unit stays).
        {2, "DBM", "FUNCT DBM;", "RANGE 0;", "9.0000001E9", "OVERFLO", kept, 0},
        {1, "DIODE", "DIODE;", "", "1E10", "OVERFLO", kept, 0},
        {1, "OHMS", "OHMS 0;", "", "9.9E37", "OVERFLO", Ohm, 0},
        {3, "ACV", "FUNCT ACV;", "RANGE 2;", "1E400", "OVERFLO", V, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.model) + " " + c.code + " SEND " + c.sendAnswer);
        ScriptedMeter meter(c.model);
        setUp(meter, c.code, c.functAnswer, c.secondAnswer, c.sendAnswer);

        TakeReading(meter.context);

        EXPECT_EQ(meter.form.Label_ReadOut.caption, QString::fromLatin1(c.readout));
        EXPECT_EQ(meter.form.Label_Prefix.caption, c.unit);
        EXPECT_EQ(meter.form.state.RangeNumber, c.rangeAfter);
        EXPECT_TRUE(meter.platform.messages().empty());
        ASSERT_EQ(meter.observer.records.size(), 1U);
        EXPECT_EQ(meter.observer.records[0].readoutText, meter.form.Label_ReadOut.caption);
        EXPECT_EQ(meter.observer.records[0].unit, c.unit);
    }
}

TEST(ReadingCycle, ObserverGetsTheDisplayedValue)
{
    ScriptedMeter meter(2);
    setUp(meter, "DCA", "FUNCT DCA;", "RANGE 0;", "0.0005");
    TakeReading(meter.context);
    const ReadingRecord& r = meter.observer.records.at(0);
    EXPECT_EQ(r.kind, ReadingRecord::Kind::Value);
    EXPECT_EQ(r.functionCode, QStringLiteral("DCA"));
    EXPECT_EQ(r.rangeNumber, 0); // "Auto", as shown, not the row it picked
    EXPECT_DOUBLE_EQ(r.value, 0.5);
    EXPECT_EQ(r.rawAnswer, QStringLiteral("0.0005"));

    // Exactly the overflow limit is still a value.
    ScriptedMeter limit(2);
    setUp(limit, "DBM", "FUNCT DBM;", "RANGE 0;", "9E9");
    TakeReading(limit.context);
    EXPECT_NE(limit.form.Label_ReadOut.caption, QStringLiteral("OVERFLO"));
    EXPECT_EQ(limit.observer.records.at(0).kind, ReadingRecord::Kind::Value);
    EXPECT_FALSE(limit.observer.records.at(0).rangeNumber); // DBM has no ranges

    // A DM5010 on automatic range reports a negative range: also "Auto".
    ScriptedMeter dm5010(1);
    setUp(dm5010, "DCV", "DCV -2;", "CALC OFF", "1.5");
    TakeReading(dm5010.context);
    EXPECT_EQ(dm5010.observer.records.at(0).rangeNumber, 0);
}

// Unit and digits follow the function this reading confirmed, also when an
// earlier failed read-back left FunctionCode empty; a function outside the
// tables clears the unit and writes the general form.
TEST(ReadingCycle, UnitFollowsTheFunctionJustReadBack)
{
    ScriptedMeter meter(2);
    setUp(meter, "DCV", "FUNCT DCV;", "RANGE 2;", "1.50001");
    meter.form.state.FunctionCode.clear();
    TakeReading(meter.context);
    EXPECT_EQ(meter.form.Label_ReadOut.caption, QStringLiteral(" 1.5000"));
    EXPECT_EQ(meter.form.Label_Prefix.caption, V);

    ScriptedMeter other(2);
    other.form.Combo_Mode.addItem(QStringLiteral("XYZ"));
    setUp(other, "XYZ", "FUNCT XYZ;", "RANGE 0;", "0.5");
    TakeReading(other.context);
    EXPECT_EQ(other.form.Label_ReadOut.caption, QStringLiteral(" 0.5"));
    EXPECT_EQ(other.form.Label_Prefix.caption, QString());
}

TEST(ReadingCycle, RangeListOpenSkipsTheCycle)
{
    ScriptedMeter meter(2);
    setUp(meter, "DCV", "FUNCT DCV;", "RANGE 0;", "1");
    meter.form.Combo_Range.visible = true;
    TakeReading(meter.context);
    EXPECT_TRUE(meter.commands().empty());
    EXPECT_EQ(meter.form.Label_Prefix.caption, kept);
    EXPECT_TRUE(meter.observer.records.empty());
}

// A user's Stop or range-label double-click while "SEND" waits: the
// reading stays off the display; with the list open, an overflow shows.
TEST(ReadingCycle, EventDuringSendKeepsTheReadingOffTheDisplay)
{
    struct Case
    {
        const char* send;
        bool stop; // else the range list opens
        const char* readout;
        QString unit;
        std::size_t records;
    };
    const Case cases[] = {{"0.0123", true, "-------", V, 0},
                          {"9.9E37", true, "-------", V, 0},
                          {"9.9E37", false, "OVERFLO", V, 1},
                          {"0.0123", false, " 1.0", mV, 0}};
    for (const Case& c : cases) {
        ScriptedMeter meter(2);
        setUp(meter, "DCV", "FUNCT DCV;", "RANGE 0;", c.send);
        meter.form.Label_ReadOut.caption = QStringLiteral(" 1.0");
        meter.form.Label_Prefix.caption = mV;
        const bool stop = c.stop;
        meter.driver.onCall = [&meter, stop](const std::string& line) {
            if (line == "ibwrt 17 \"SEND\"") {
                meter.platform.postEvent([&meter, stop] {
                    if (stop) {
                        Button_Stop_Click(meter.form);
                    } else {
                        meter.form.Combo_Range.visible = true;
                    }
                });
            }
        };

        TakeReading(meter.context);

        EXPECT_EQ(meter.form.Label_ReadOut.caption, QString::fromLatin1(c.readout)) << c.send;
        EXPECT_EQ(meter.form.Label_Prefix.caption, c.unit) << c.send;
        EXPECT_EQ(meter.observer.records.size(), c.records) << c.send;
    }
}

TEST(NoNumber, ShowsTheHyphensAndKeepsUnitAndRangeButZeroIsANumber)
{
    // A failed exchange (timeout) and answers that hold no number.
    for (const char* send : {static_cast<const char*>(nullptr), "ERROR", "-.E5"}) {
        ScriptedMeter meter(1);
        setUp(meter, "DCV", "DCV 0;", "CALC OFF", send);
        meter.form.Label_Prefix.caption = mV;

        TakeReading(meter.context);

        EXPECT_EQ(meter.form.Label_ReadOut.caption, QStringLiteral("-------"));
        EXPECT_EQ(meter.form.Label_Prefix.caption, mV);
        EXPECT_EQ(meter.form.state.RangeNumber, 0);
        EXPECT_EQ(meter.form.state.StopRequested, kFalse);
        ASSERT_EQ(meter.observer.records.size(), 1U);
        EXPECT_EQ(meter.observer.records[0].kind, ReadingRecord::Kind::NoReading);
        EXPECT_EQ(meter.observer.records[0].rawAnswer, QString::fromLatin1(send));
    }
    // A genuine zero is still a reading.
    for (const char* send : {" -0.000E+0", "+.0"}) {
        ScriptedMeter meter(1);
        setUp(meter, "DCV", "DCV 0;", "CALC OFF", send);
        TakeReading(meter.context);
        EXPECT_EQ(meter.form.Label_ReadOut.caption.trimmed().remove(QLatin1Char('-')),
                  QStringLiteral("0.00"))
            << send;
        EXPECT_EQ(meter.form.Label_Prefix.caption, mV) << send;
    }
}

TEST(Mismatch, StopsTheRunAndLeavesApplyToSettleIt)
{
    ScriptedMeter meter(2);
    setUp(meter, "DCV", "FUNCT ACV;", "RANGE 2;", nullptr);
    // Running: Apply and Run disabled, Stop enabled.
    meter.form.Button_Run.enabled = false;
    meter.form.Button_Stop.enabled = true;
    meter.form.Label_Prefix.caption = mV;
    bool applyWhileShown = true;
    Boolean16 stopWhileShown = kTrue;
    meter.platform.onMessage = [&](const ShownMessage&) {
        applyWhileShown = meter.form.Button_Apply.enabled || meter.form.Menu_Apply.enabled;
        stopWhileShown = meter.form.state.StopRequested;
    };

    TakeReading(meter.context);

    ASSERT_EQ(meter.platform.messages().size(), 1U);
    const ShownMessage& box = meter.platform.messages().front();
    EXPECT_EQ(box.text,
              QStringLiteral("A mismatch between the program setting and the actual setting of "
                             "the DM5110 has been detected.\n\nSelect Apply to reset the DM5110 "
                             "to the program setting\n") +
                  QString(40, QLatin1Char(' ')) +
                  QStringLiteral("or\nRefresh to import the DM5110 setting to the program"));
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
    EXPECT_EQ(meter.form.Label_ReadOut.caption, QStringLiteral("-------"));
    EXPECT_EQ(meter.form.Label_Prefix.caption, V);
    EXPECT_EQ(meter.commands(), (std::vector<QByteArray>{"FUNCT?", "RANGE?"}));
    EXPECT_TRUE(meter.observer.records.empty());
}

TEST(Mismatch, AFailedReadBackCountsToo)
{
    ScriptedMeter meter(1);
    meter.showFunction(QStringLiteral("OHMS")); // "FUNCT?" goes unanswered
    TakeReading(meter.context);
    ASSERT_EQ(meter.platform.messages().size(), 2U);
    EXPECT_EQ(meter.platform.messages()[0].title, QStringLiteral("I/O Error"));
    EXPECT_EQ(meter.platform.messages()[1].title, QStringLiteral("Settings Error"));
    EXPECT_EQ(meter.stopCalls, 1);
}

} // namespace
} // namespace lumodm::testing
