#include "meter/range_command.h"
#include "meter/reading.h"

#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

constexpr MeterModel DM5010 = MeterModel::DM5010;
constexpr MeterModel DM5110 = MeterModel::DM5110;
constexpr MeterModel DM5120 = MeterModel::DM5120;

// An answer to "SEND" on a function, model and range: kind, readout, unit and
// the range the value falls into. A limit belongs to the next row up.
TEST(InterpretReading, AnswerInReadingOut)
{
    using K = Reading::Kind;
    const QString kept = QStringLiteral("=");
    const struct
    {
        MeterModel model;
        const char* code;
        std::int16_t range;
        const char* answer;
        K kind;
        const char* readout;
        const char* unit;
        std::int16_t rangeAfter;
        int setting; // -1: none
    } cases[] = {
        {DM5010, "DCV", 0, "0.0123456", K::Value, " 12.34", "mV", 1, 0},
        {DM5120, "ACV", 2, "1.2345678", K::Value, " 1.23456", "V", 2, 2},
        {DM5110, "DCA", 0, "0.0005", K::Value, " 0.5000", "mA", 2, 0},
        {DM5010, "OHMS", 0, "1500", K::Value, " 1.5000", "kOhm", 2, 0},
        {DM5110, "DCV", 0, "9.9E37", K::Overflow, "OVERFLO", "V", 0, 0},
        {DM5010, "DCV", 0, "0.2", K::Value, " 0.2000", "V", 2, 0},
        {DM5010, "DCV", 0, "-0.19999", K::Value, "-199.99", "mV", 1, 0},
        {DM5010, "DCV", 0, "1000", K::Value, " 1000", "V", 0, 0},
        // A negative DM5010 range (automatic) uses its magnitude's row; the DM5120 has none.
        {DM5010, "ACDC", -2, "0.05", K::Value, " 0.0500", "V", -2, 0},
        {DM5120, "DCV", -1, "1.5", K::Value, " 1.5", "V", -1, 0},
        {DM5110, "DCV", 3, "1.5", K::Value, " 1.500", "V", 3, 3},
        // DM5120 AC volts show one digit fewer, also without a row.
        {DM5120, "ACV", 0, "0.1234567", K::Value, " 123.456", "mV", 1, 0},
        {DM5120, "ACV", 0, "512.34", K::Value, " 512.3", "V", 0, 0},
        {DM5010, "OHMS", 0, "-5000", K::Value, "-5000.00", "Ohm", 1, 0},
        {DM5110, "OHMS", 0, "19999000", K::Value, " 19.999", "MOhm", 6, 0},
        {DM5120, "OHMS", 0, "299999000", K::Value, " 299.999", "MOhm", 7, 0},
        {DM5110, "ACA", 0, "0.0001", K::Value, " 100.00", "\u00B5A", 1, 0},
        {DM5110, "DCA", 0, "2", K::Value, " 2000", "mA", 0, 0},
        {DM5010, "DCA", 0, "0.02", K::Value, " 20.0000", "mA", 3, 0},
        {DM5120, "ACA", 0, "3", K::Value, " 3", "A", 0, 0},
        // Diode and dB readings keep the unit label.
        {DM5010, "DIODE", 0, "0.51239", K::Value, " 0.5123", "=", 0, -1},
        {DM5010, "DBM ACV", 0, "-12.345", K::Value, "-12.34", "=dBm", 0, -1},
        {DM5120, "DB ACA", 0, "20.5", K::Value, " 20.50", "=dB", 0, -1},
        {DM5110, "DBM", 0, "9E9", K::Value, " 8999999000.00", "=dBm", 0, -1},
        {DM5110, "DBM", 0, "9.0000001E9", K::Overflow, "OVERFLO", "=dBm", 0, -1},
        {DM5010, "OHMS", 0, "9.9E37", K::Overflow, "OVERFLO", "Ohm", 0, 0},
        {DM5120, "ACA", 4, "-1E400", K::Overflow, "OVERFLO", "A", 4, 4},
        // No number: a failed exchange, or an answer without one; zero is one.
        {DM5010, "DCV", 0, "", K::NoNumber, "-------", "V", 0, 0},
        {DM5010, "DCV", 0, "-.E5", K::NoNumber, "-------", "V", 0, 0},
        {DM5010, "DCV", 0, " -0.000E+0", K::Value, " 0.00", "mV", 1, 0},
        // A code outside the tables: no unit, the general form, also when large.
        {DM5110, "XYZ", 0, "0.5", K::Value, " 0.5", "", 0, -1},
        {DM5110, "XYZ", 0, "1E10", K::Value, " 10000000000", "", 0, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " " + c.answer);
        const QString answer = QString::fromLatin1(c.answer);
        const Reading r = interpretReading(answer, QString::fromLatin1(c.code), c.model, c.range);
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.readoutText, QString::fromLatin1(c.readout));
        const QString unit = QString::fromUtf8(c.unit);
        EXPECT_EQ(r.unit, unit.startsWith(kept) ? unit.mid(1) : unit);
        EXPECT_EQ(r.keepsUnitLabel, unit.startsWith(kept));
        EXPECT_EQ(r.rangeNumber, c.rangeAfter);
        EXPECT_EQ(r.rangeSetting.value_or(-1), c.setting);
        EXPECT_EQ(r.rawAnswer, answer);
        EXPECT_EQ(r.functionCode, QString::fromLatin1(c.code));
    }
    const Reading r = interpretReading(QStringLiteral("0.0005"), QStringLiteral("DCA"), DM5110, 0);
    EXPECT_DOUBLE_EQ(r.value, 0.5);
    EXPECT_DOUBLE_EQ(r.valueInBase, 0.0005);
    EXPECT_EQ(r.baseUnit, QStringLiteral("A"));
}

// A range choice: the present range in the answer, the command for the entry.
TEST(RangeCommand, PresentRangeAndCommand)
{
    const struct
    {
        MeterModel model;
        const char* code;
        const char* answer; // to rangeQuestion()
        float present;
        std::int16_t chosen;
        const char* command;
    } cases[] = {
        {DM5010, "DCV", "DCV 0.2", 1, 3, "DCV 20"},
        {DM5010, "DCV", "DCV 20", 3, 0, "DCV -2"},
        {DM5010, "ACV", "ACV -2", 0, 5, "ACV 1000"},
        {DM5010, "OHMS", "OHMS 2000", 2, 0, "OHMS -200"},
        {DM5010, "OHMS", "OHMS 200", 1, 6, "OHMS 2E+07"},
        {DM5010, "DCV", "2", 2, 4, "DCV 200"}, // no space: the whole answer
        // Other codes send the value read back.
        {DM5010, "DIODE", "DIODE 3.25", 3.25F, 1, "DIODE 3.25"},
        {DM5010, "DIODE", "DIODE 12345678", 12345678.0F, 1, "DIODE 1.234568E+07"},
        {DM5110, "DCV", "RANGE 3;", 3, 2, "RANGE2"},
        {DM5120, "OHMS", "RANGE 7;", 7, 0, "RANGE0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        const QString code = QString::fromLatin1(c.code);
        EXPECT_EQ(rangeQuestion(c.model), c.model == DM5010 ? "FUNC?" : "RANGE?");
        const float present = presentRangeNumber(c.model, code, QString::fromLatin1(c.answer));
        EXPECT_EQ(present, c.present);
        EXPECT_EQ(rangeCommand(c.model, code, c.chosen, present), QString::fromLatin1(c.command));
    }
}

} // namespace
} // namespace lumodm::testing
