#include "app/console_platform.h"
#include "app/headless_reader_options.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

TEST(ReaderOptions, TakesItsOwnOptions)
{
    ReaderOptions o;
    QString error;
    EXPECT_EQ(takeReaderOption(QStringLiteral("--function=dbm dcv"), o, error),
              ReaderOptionResult::Taken);
    EXPECT_EQ(o.function, QStringLiteral("DBM DCV"));
    EXPECT_EQ(takeReaderOption(QStringLiteral("--range=AUTO"), o, error),
              ReaderOptionResult::Taken);
    EXPECT_EQ(o.range, std::optional<std::int16_t>(0));
    EXPECT_EQ(takeReaderOption(QStringLiteral("--range=3"), o, error), ReaderOptionResult::Taken);
    EXPECT_EQ(o.range, std::optional<std::int16_t>(3));
    EXPECT_EQ(takeReaderOption(QStringLiteral("--count=0"), o, error), ReaderOptionResult::Taken);
    EXPECT_EQ(o.count, 0);
    EXPECT_EQ(takeReaderOption(QStringLiteral("--interval=0.25"), o, error),
              ReaderOptionResult::Taken);
    EXPECT_DOUBLE_EQ(o.interval, 0.25);
    EXPECT_EQ(takeReaderOption(QStringLiteral("--csv"), o, error), ReaderOptionResult::Taken);
    EXPECT_TRUE(o.csv);
    EXPECT_EQ(takeReaderOption(QStringLiteral("--sim"), o, error), ReaderOptionResult::NotMine);
    EXPECT_EQ(takeReaderOption(QStringLiteral("--functions=DCV"), o, error),
              ReaderOptionResult::NotMine);
}

TEST(ReaderOptions, RefusesBadValues)
{
    const char* bad[] = {"--function=VOLTS", "--function=",   "--range=0",      "--range=-1",
                         "--range=x",        "--range=",      "--count=-1",     "--count=1.5",
                         "--count=",         "--interval=-1", "--interval=nan", "--interval=1e9",
                         "--interval=1,5"};
    for (const char* argument : bad) {
        ReaderOptions o;
        QString error;
        EXPECT_EQ(takeReaderOption(QString::fromLatin1(argument), o, error),
                  ReaderOptionResult::Bad)
            << argument;
        EXPECT_FALSE(error.isEmpty()) << argument;
    }
}

TEST(ConsolePlatform, MessageBoxIsOnePlainLineAndQuestionsAreAgreedTo)
{
    ConsolePlatform platform;
    QByteArray err;
    platform.setErrorSink([&](const QByteArray& line) { err += line; });
    EXPECT_EQ(platform.messageBox(QStringLiteral("A mismatch.\n\nSelect Apply\n      or\nRefresh"),
                                  QStringLiteral("Settings Error"), MessageButtons::Ok,
                                  MessageIcon::Stop),
              MessageAnswer::Ok);
    EXPECT_EQ(err, QByteArray("Settings Error: A mismatch. Select Apply or Refresh\n"));
    err.clear();
    EXPECT_EQ(platform.messageBox(QStringLiteral("Sure?"), QStringLiteral("Initialize"),
                                  MessageButtons::YesNo, MessageIcon::Question),
              MessageAnswer::Yes);
    EXPECT_EQ(platform.messageBox(QStringLiteral("<b>x</b>"), QStringLiteral("GPIB ERROR # 6"),
                                  MessageButtons::OkCancel, MessageIcon::Exclamation),
              MessageAnswer::Ok);
    EXPECT_EQ(err, QByteArray("GPIB ERROR # 6: <b>x</b>\n"));
}

TEST(ConsolePlatform, StoredSettingsAreNeitherReadNorWritten)
{
    ConsolePlatform platform;
    platform.writeSetting(QStringLiteral("LumoDM"), QStringLiteral("Settings"),
                          QStringLiteral("Display Color"), QStringLiteral("3"));
    EXPECT_EQ(platform.readSetting(QStringLiteral("LumoDM"), QStringLiteral("Settings"),
                                   QStringLiteral("Display Color"), QStringLiteral("0")),
              QStringLiteral("0"));
}

} // namespace
} // namespace lumodm
