#include "log/csv_row.h"
#include "log/decimal_text.h"
#include "log/log_timestamp.h"
#include "log/reading_row.h"

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
    EXPECT_EQ(row.fields(), "\"'=H(\"\"x\"\")\",'@A1,'+,'\tx,\"'\r-1\",-1.5E+0,+1.4E0,DCV =1");
    row.clear();
    row.addFieldUtf8(QByteArray("b\0c", 3));
    EXPECT_EQ(row.fields(), "b\xEF\xBF\xBD"
                            "c");
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
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        std::setlocale(LC_NUMERIC, "de_DE");
    }
    EXPECT_EQ(plainDecimalText(1.5), QByteArray("1.5"));
    std::setlocale(LC_NUMERIC, before.c_str());
}

TEST(IsoTimestamp, MillisecondsAndOffset)
{
    std::tm t{};
    t.tm_year = 2024 - 1900, t.tm_mon = 2, t.tm_mday = 9, t.tm_hour = 1, t.tm_min = 7, t.tm_sec = 5;
    EXPECT_EQ(isoTimestamp(t, 42, 3600), QByteArray("2024-03-09T01:07:05.042+01:00"));
    EXPECT_EQ(isoTimestamp(t, 999, -(5 * 3600 + 30 * 60)),
              QByteArray("2024-03-09T01:07:05.999-05:30"));
    const QRegularExpression form(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}[+-]\\d\\d:\\d\\d$"));
    EXPECT_TRUE(
        form.match(QString::fromLatin1(isoTimestamp(std::chrono::system_clock::now()))).hasMatch());
}

Reading record(Reading::Kind kind, const char* function, double value, QString unit,
               const char* readout, const QString& raw)
{
    Reading r;
    r.kind = kind;
    r.functionCode = QString::fromLatin1(function);
    r.rangeSetting = kind == Reading::Kind::Value ? 1 : 0;
    r.value = value;
    r.unit = unit;
    r.readoutText = QString::fromLatin1(readout);
    r.rawAnswer = raw;
    return r;
}

TEST(ReadingCsvRow, EachReadingKind)
{
    using Kind = Reading::Kind;
    const QByteArray t("2024-03-09T01:07:05.042+01:00");
    EXPECT_EQ(readingCsvRow(t, QStringLiteral("DM5110"),
                            record(Kind::Value, "DCA", 0.0001234 * 1000 * 1000,
                                   QString(QChar(0xB5)) + QLatin1Char('A'), " 123.40",
                                   QStringLiteral("DCA 1.234E-4"))),
              t + ",DM5110,DCA,1,123.4,\xC2\xB5"
                  "A,\" 123.40\",DCA 1.234E-4\r\n");
    EXPECT_EQ(readingCsvRow(t, QStringLiteral("DM5010"),
                            record(Kind::Overflow, "DCV", 9.9e37, QStringLiteral("V"), "OVERFLO",
                                   QStringLiteral("9.9E+37"))),
              t + ",DM5010,DCV,0,,V,OVERFLO,9.9E+37\r\n");
    // No range for a function without ranges; an answer that would be a
    // formula is shown as text.
    Reading none =
        record(Kind::NoNumber, "DIODE", 0, QStringLiteral("V"), " 0.0000", QStringLiteral("=2+3"));
    none.rangeSetting.reset();
    EXPECT_EQ(readingCsvRow(t, QStringLiteral("DM5010"), none),
              t + ",DM5010,DIODE,,,V,\" 0.0000\",'=2+3\r\n");
    // The raw answer's bytes stay valid UTF-8 and quoted.
    EXPECT_TRUE(
        readingCsvRow("t", QStringLiteral("DM5010"),
                      record(Kind::Value, "DCV", 1, {}, "", QString::fromLatin1("1,5\xB5\"\r")))
            .endsWith(",\"1,5\xC2\xB5\"\"\r\"\r\n"));
    EXPECT_EQ(readingCsvHeader(),
              QByteArray("time,model,function,range,value,unit,readout,raw\r\n"));
}

} // namespace
} // namespace lumodm
