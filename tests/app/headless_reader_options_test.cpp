#include "reader/console_platform.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

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
