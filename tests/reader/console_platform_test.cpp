#include "reader/console_platform.h"

#include "bus/vbib32rv.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

TEST(ConsolePlatform, MessagesAsLinesQuestionsAgreedTo)
{
    ConsolePlatform platform;
    QByteArray err;
    platform.setErrorSink([&](const QByteArray& line) { err += line; });
    // The box's choice between its buttons becomes what the reader does.
    EXPECT_EQ(platform.messageBox(
                  "A mismatch.\n\nSelect Apply\n      or\n<b>x</b>\n" + gpibErrorChoiceText(),
                  QStringLiteral("GPIB ERROR # 6"), MessageButtons::OkCancel, MessageIcon::Stop),
              MessageAnswer::Ok);
    EXPECT_EQ(platform.messageBox(QStringLiteral("Sure?"), QStringLiteral("Initialize"),
                                  MessageButtons::YesNo, MessageIcon::Question),
              MessageAnswer::Yes);
    EXPECT_EQ(err, QByteArray("GPIB ERROR # 6: A mismatch.\n  Select Apply\n  or\n  <b>x</b>\n"
                              "  lumodm-read goes on.\n"));
}

} // namespace
} // namespace lumodm
