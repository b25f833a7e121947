#include "log/log_file_name.h"

#include <climits>
#include <gtest/gtest.h>

namespace lumodm {
namespace {

TEST(LogFileName, FieldsFromLocalTimeUnknownAndTooLongRefused)
{
    std::tm t{}; // 2026-03-09 07:05:04, the 68th day
    t.tm_year = 126, t.tm_mon = 2, t.tm_mday = 9, t.tm_hour = 7, t.tm_min = 5, t.tm_sec = 4;
    t.tm_yday = 67;
    const QString fill(PATH_MAX - 5, QLatin1Char('a'));
    // Each name and what it becomes (nullptr: refused).
    const std::pair<QString, const char*> cases[] = {
        {QStringLiteral("bench-%Y-%m-%d.csv"), "bench-2026-03-09.csv"},
        {QStringLiteral("%F_%H%M%S_%j_%y_100%%.csv"), "2026-03-09_070504_068_26_100%.csv"},
        {QStringLiteral("plain.csv"), "plain.csv"},
        {QStringLiteral("bad-%q.csv"), nullptr},
        {QStringLiteral("end%"), nullptr},
        {fill + QStringLiteral("%Y"), "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa2026"},
        {fill + QStringLiteral("%Y1"), nullptr},
        {fill + fill, nullptr}};
    for (const auto& [pattern, expected] : cases) {
        QString error;
        const std::optional<QString> name = expandLogFileName(pattern, t, &error);
        EXPECT_EQ(name.has_value(), expected != nullptr) << pattern.left(20).toStdString();
        EXPECT_EQ(error.isEmpty(), expected != nullptr);
        EXPECT_EQ(name.value_or(QString()).right(40), QString::fromUtf8(expected));
    }
    EXPECT_TRUE(hasTimeFields(QStringLiteral("a%%b")));
    EXPECT_FALSE(hasTimeFields(QStringLiteral("plain.csv")));
    // 2000-07-01 12:00 UTC is in 2000 in every time zone.
    const auto midYear = std::chrono::system_clock::from_time_t(962452800);
    EXPECT_EQ(expandLogFileName(QStringLiteral("%Y"), midYear).value_or(QString()),
              QStringLiteral("2000"));
}

} // namespace
} // namespace lumodm
