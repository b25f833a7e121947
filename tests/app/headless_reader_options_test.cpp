#include "reader/console_platform.h"
#include "reader/reader_options.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

TEST(ReaderOptions, TakesItsOwnOptionsInAnyCase)
{
    ReaderOptions o;
    QString error;
    // An unknown code is the meter's to refuse, with the codes it has.
    for (const char* mine :
         {"--function=volts", "--function=dbm dcv", "--range=AUTO", "--interval=0.25"}) {
        EXPECT_EQ(takeReaderOption(QString::fromLatin1(mine), o, error), ReaderOptionResult::Taken);
    }
    EXPECT_EQ(o.function, QStringLiteral("DBM DCV"));
    EXPECT_EQ(o.range, std::optional<std::int16_t>(0));
    EXPECT_DOUBLE_EQ(o.interval, 0.25);
    for (const char* other : {"--sim", "--functions=DCV"}) {
        EXPECT_EQ(takeReaderOption(QString::fromLatin1(other), o, error),
                  ReaderOptionResult::NotMine);
    }
    for (const char* bad : {"--function=", "--function= ", "--range=0", "--range=-1", "--range=x",
                            "--count=-1", "--count=1.5", "--count=", "--interval=-1",
                            "--interval=nan", "--interval=1e9", "--interval=1,5"}) {
        error.clear();
        EXPECT_EQ(takeReaderOption(QString::fromLatin1(bad), o, error), ReaderOptionResult::Bad)
            << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
}

TEST(ConsolePlatform, MessageBoxKeepsItsLinesAndQuestionsAreAgreedTo)
{
    ConsolePlatform platform;
    QByteArray err;
    platform.setErrorSink([&](const QByteArray& line) { err += line; });
    EXPECT_EQ(platform.messageBox(QStringLiteral("A mismatch.\n\nSelect Apply\n      or\nRefresh"),
                                  QStringLiteral("Settings Error"), MessageButtons::Ok,
                                  MessageIcon::Stop),
              MessageAnswer::Ok);
    EXPECT_EQ(err, QByteArray("Settings Error: A mismatch.\n  Select Apply\n  or\n  Refresh\n"));
    err.clear();
    EXPECT_EQ(platform.messageBox(QStringLiteral("Sure?"), QStringLiteral("Initialize"),
                                  MessageButtons::YesNo, MessageIcon::Question),
              MessageAnswer::Yes);
    EXPECT_EQ(platform.messageBox(QStringLiteral("<b>x</b>"), QStringLiteral("GPIB ERROR # 6"),
                                  MessageButtons::OkCancel, MessageIcon::Exclamation),
              MessageAnswer::Ok);
    EXPECT_EQ(err, QByteArray("GPIB ERROR # 6: <b>x</b>\n"));
}

} // namespace
} // namespace lumodm
