#include "log/csv_row.h"
#include "log/decimal_text.h"
#include "log/log_timestamp.h"
#include "log/reading_row.h"
#include "meter/reading.h"

#include <QRegularExpression>
#include <chrono>
#include <clocale>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace lumodm {
namespace {

TEST(CsvRow, QuotesOnlyWhereNeededNoFormulasNoNul)
{
    CsvRow row;
    // Blanks at either end are quoted: some readers would trim them.
    for (const char* field : {"DCV", "", "1,5", "say \"hi\"", "a\r\nb", "x\n", " 1.2", "V "}) {
        row.addField(field);
    }
    EXPECT_EQ(row.finish(),
              "DCV,,\"1,5\",\"say \"\"hi\"\"\",\"a\r\nb\",\"x\n\",\" 1.2\",\"V \"\r\n");
    // Instrument text never becomes a formula; numbers stay numbers.
    row.clear();
    for (const char* text :
         {"=H(\"x\")", "@A1", "+", "\tx", "\r-1", "-1.5E+0", "+1.4E0", "DCV =1"}) {
        row.addInstrumentText(QString::fromLatin1(text));
    }
    EXPECT_EQ(row.finish(), "\"'=H(\"\"x\"\")\",'@A1,'+,'\tx,\"'\r-1\",-1.5E+0,+1.4E0,DCV =1\r\n");
    row.clear();
    row.addFieldUtf8(QByteArray("b\0c", 3));
    EXPECT_EQ(row.finish(), "b\xEF\xBF\xBD"
                            "c\r\n");
}

TEST(PlainDecimalText, NoExponentNoScalingNoiseNoLocale)
{
    const struct
    {
        double value;
        const char* text;
    } cases[] = {
        {-0.0, "0"},
        {-1.5, "-1.5"},
        {0.0123456 * 1000, "12.3456"},
        {0.0005 * 1000 * 1000, "500"},
        {1e-7, "0.0000001"},
        {123456789012.5, "123456789012.5"},
        {1.0 / 3.0, "0.333333333333333"},
        {std::numeric_limits<double>::infinity(), ""},
        {std::numeric_limits<double>::quiet_NaN(), ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plainDecimalText(c.value), QByteArray(c.text)) << c.value;
    }
    // Qt applications take the user's locale; a German one writes "1,5".
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr)
        << "no de_DE.UTF-8 locale here; scripts/install-deps.sh generates it";
    const std::string point = std::localeconv()->decimal_point;
    const QByteArray text = plainDecimalText(1.5);
    std::setlocale(LC_NUMERIC, before.c_str());
    EXPECT_EQ(point, ",");
    EXPECT_EQ(text, QByteArray("1.5"));
}

TEST(IsoTimestamp, MillisecondsAndOffset)
{
    std::tm t{};
    t.tm_year = 2024 - 1900, t.tm_mon = 2, t.tm_mday = 9, t.tm_hour = 1, t.tm_min = 7, t.tm_sec = 5;
    EXPECT_EQ(isoTimestamp(t, 42, 3600), QByteArray("2024-03-09T01:07:05.042+01:00"));
    EXPECT_EQ(isoTimestamp(t, 999, -(5 * 3600 + 30 * 60)),
              QByteArray("2024-03-09T01:07:05.999-05:30"));
    EXPECT_EQ(isoTimestamp(t, 0, 0), QByteArray("2024-03-09T01:07:05.000+00:00"));
    const auto at = std::chrono::system_clock::from_time_t(1'000'000'000);
    EXPECT_EQ(isoTimestamp(at + std::chrono::milliseconds(123)).mid(19, 4), QByteArray(".123"));
    const QRegularExpression form(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}[+-]\\d\\d:\\d\\d$"));
    EXPECT_TRUE(
        form.match(QString::fromLatin1(isoTimestamp(std::chrono::system_clock::now()))).hasMatch());
}

TEST(ReadingCsvRow, EachReadingKind)
{
    const struct
    {
        const char* model;
        const char* answer; // Latin-1, as the meter sends it
        const char* function;
        std::int16_t range;
        const char* row;
    } cases[] = {
        {"DM5110", "+1.234E-4", "DCA", 1, ",DCA,1,123.4,µA,\" 123.40\",+1.234E-4"},
        {"DM5010", "9.9E+37", "DCV", -2, ",DCV,0,,V,OVERFLO,9.9E+37"},
        // No range for a function without ranges; an answer that would be a
        // formula is shown as text; the raw answer's bytes stay valid UTF-8.
        {"DM5010", "=2+3", "DIODE", 0, ",DIODE,,,,-------,'=2+3"},
        {"DM5120", "\xB5\",\r", "OHMS", 3, ",OHMS,3,,Ohm,-------,\"µ\"\",\r\""},
    };
    for (const auto& c : cases) {
        const QString model = QString::fromLatin1(c.model);
        Reading reading =
            interpretReading(QString::fromLatin1(c.answer), QString::fromLatin1(c.function),
                             meterModelNamed(model), c.range);
        reading.meterModel = model;
        EXPECT_EQ(readingCsvRow("T", reading, false).toStdString(),
                  "T," + model.toStdString() + c.row + "\r\n");
        reading.meterAddress = 12;
        EXPECT_EQ(readingCsvRow("T", reading).toStdString(),
                  "T," + model.toStdString() + c.row + ",12\r\n");
    }
    EXPECT_EQ(readingCsvHeader(false),
              QByteArray("time,model,function,range,value,unit,readout,raw\r\n"));
    EXPECT_EQ(readingCsvHeader(),
              QByteArray("time,model,function,range,value,unit,readout,raw,address\r\n"));
}

} // namespace
} // namespace lumodm
