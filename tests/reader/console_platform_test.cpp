#include "reader/console_platform.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

TEST(ConsolePlatform, MessagesAsLinesQuestionsAgreedTo)
{
    ConsolePlatform platform;
    QByteArray err;
    platform.setErrorSink([&](const QByteArray& line) { err += line; });
    EXPECT_EQ(platform.messageBox(QStringLiteral("A mismatch.\n\nSelect Apply\n      or\n<b>x</b>"),
                                  QStringLiteral("GPIB ERROR # 6"), MessageButtons::OkCancel,
                                  MessageIcon::Stop),
              MessageAnswer::Ok);
    EXPECT_EQ(platform.messageBox(QStringLiteral("Sure?"), QStringLiteral("Initialize"),
                                  MessageButtons::YesNo, MessageIcon::Question),
              MessageAnswer::Yes);
    EXPECT_EQ(err, QByteArray("GPIB ERROR # 6: A mismatch.\n  Select Apply\n  or\n  <b>x</b>\n"));
}

} // namespace
} // namespace lumodm
