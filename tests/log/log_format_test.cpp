#include "log/csv_row.h"
#include "log/decimal_text.h"
#include "log/log_timestamp.h"
#include "log/reading_row.h"

#include <QRegularExpression>
#include <clocale>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace lumodm {
namespace {

TEST(CsvRow, QuotesOnlyWhereNeeded)
{
    struct Case
    {
        const char* field;
        const char* written;
    };
    const Case cases[] = {
        {"DCV", "DCV"},
        {"", ""},
        {"DBM DCV", "DBM DCV"},
        {"1,5", "\"1,5\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"a\r\nb", "\"a\r\nb\""},
        {"line\n", "\"line\n\""},
        {" 12.34", "\" 12.34\""}, // a leading blank some readers would trim
    };
    for (const Case& c : cases) {
        CsvRow row;
        row.addField(c.field);
        EXPECT_EQ(row.finish(), QByteArray(c.written) + "\r\n") << c.field;
    }
}

TEST(CsvRow, JoinsFieldsAndReplacesNul)
{
    CsvRow row;
    row.addField("a");
    row.addFieldUtf8(QByteArray("b\0c", 3));
    row.addField(QString(QChar(0xB5)) + QLatin1Char('A'));
    EXPECT_EQ(row.finish(), QByteArray("a,b\xEF\xBF\xBD"
                                       "c,\xC2\xB5"
                                       "A\r\n"));
}

TEST(PlainDecimalText, NoExponentNoScalingNoise)
{
    struct Case
    {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {1.5, "1.5"},
        {-1.5, "-1.5"},
        {0.0123456 * 1000, "12.3456"},
        {1500.0 / 1000, "1.5"},
        {0.0005 * 1000 * 1000, "500"},
        {1e-7, "0.0000001"},
        {8.5e9, "8500000000"},
        {123456789012.5, "123456789012.5"},
        {1.0 / 3.0, "0.333333333333333"},
        {-9.87654321e-3, "-0.00987654321"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(plainDecimalText(c.value), QByteArray(c.text)) << c.value;
    }
    EXPECT_EQ(plainDecimalText(std::numeric_limits<double>::infinity()), QByteArray());
    EXPECT_EQ(plainDecimalText(std::numeric_limits<double>::quiet_NaN()), QByteArray());
}

TEST(PlainDecimalText, IgnoresTheLocale)
{
    // Qt applications take the user's locale; a German one writes "1,5".
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        std::setlocale(LC_NUMERIC, "de_DE");
    }
    EXPECT_EQ(plainDecimalText(1.5), QByteArray("1.5"));
    std::setlocale(LC_NUMERIC, before.c_str());
}

TEST(IsoTimestamp, MillisecondsAndOffset)
{
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 9;
    t.tm_hour = 1;
    t.tm_min = 7;
    t.tm_sec = 5;
    EXPECT_EQ(isoTimestamp(t, 42, 3600), QByteArray("2024-03-09T01:07:05.042+01:00"));
    EXPECT_EQ(isoTimestamp(t, 999, -(5 * 3600 + 30 * 60)),
              QByteArray("2024-03-09T01:07:05.999-05:30"));
    EXPECT_EQ(isoTimestamp(t, 0, 0), QByteArray("2024-03-09T01:07:05.000+00:00"));
}

TEST(IsoTimestamp, CurrentTimeHasTheForm)
{
    const QRegularExpression form(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}[+-]\\d\\d:\\d\\d$"));
    EXPECT_TRUE(form.match(QString::fromLatin1(currentIsoTimestamp())).hasMatch())
        << currentIsoTimestamp().constData();
}

TEST(ReadingCsvRow, EachReadingKind)
{
    ReadingRecord value;
    value.kind = ReadingRecord::Kind::Value;
    value.functionCode = QStringLiteral("DCA");
    value.rangeNumber = 1;
    value.value = 0.0001234 * 1000 * 1000;
    value.unit = QString(QChar(0xB5)) + QLatin1Char('A');
    value.readoutText = QStringLiteral(" 123.40");
    value.rawAnswer = QStringLiteral("DCA 1.234E-4");

    ReadingRecord overflow = value;
    overflow.kind = ReadingRecord::Kind::Overflow;
    overflow.functionCode = QStringLiteral("DCV");
    overflow.rangeNumber = 0;
    overflow.value = 9.9e37;
    overflow.unit = QStringLiteral("V");
    overflow.readoutText = QStringLiteral("OVERFLO");
    overflow.rawAnswer = QStringLiteral("9.9E+37");

    ReadingRecord none = overflow;
    none.kind = ReadingRecord::Kind::NoReading;
    none.value = 0;
    none.readoutText = QStringLiteral(" 0.0000");
    none.rawAnswer.clear();

    const QByteArray t("2024-03-09T01:07:05.042+01:00");
    EXPECT_EQ(readingCsvRow(t, QStringLiteral("DM5110"), value),
              t + ",DM5110,DCA,1,123.4,\xC2\xB5"
                  "A,\" 123.40\",DCA 1.234E-4\r\n");
    EXPECT_EQ(readingCsvRow(t, QStringLiteral("DM5010"), overflow),
              t + ",DM5010,DCV,0,,V,OVERFLO,9.9E+37\r\n");
    EXPECT_EQ(readingCsvRow(t, QStringLiteral("DM5010"), none),
              t + ",DM5010,DCV,0,,V,\" 0.0000\",\r\n");
    EXPECT_EQ(readingCsvHeader(),
              QByteArray("time,model,function,range,value,unit,readout,raw\r\n"));
}

TEST(ReadingCsvRow, RawAnswerBytesStayValidUtf8)
{
    ReadingRecord r;
    r.kind = ReadingRecord::Kind::Value;
    r.rawAnswer = QString::fromLatin1("1,5\xB5\"\r");
    const QByteArray row = readingCsvRow("t", QStringLiteral("DM5010"), r);
    EXPECT_TRUE(row.endsWith(",\"1,5\xC2\xB5\"\"\r\"\r\n")) << row.constData();
}

} // namespace
} // namespace lumodm
