#include "bus/drivers/sim/sim_bus_factory.h"
#include "bus/drivers/trace_driver.h"
#include "bus/drivers/trace_format.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <sstream>

namespace lumodm {
namespace {

struct Traced
{
    Traced() : trace(createSimulatedBus(QStringLiteral("DM5010@16"), nullptr), out) {}

    // The lines written so far, each without the time the call took.
    QStringList lines() const
    {
        QStringList result;
        for (const QString& line :
             QString::fromStdString(out.str()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            result << line.section(QStringLiteral("  ["), 0, 0);
        }
        return result;
    }

    std::ostringstream out;
    TraceDriver trace;
};

TEST(TraceDriver, WritesEachCallWithItsDataAndStatus)
{
    Traced t;
    EXPECT_EQ(t.trace.RegisterGpibGlobalsForThread(), 0);
    const int ud = t.trace.ibdev(0, 16, 0, gpib::T3s, 1, 0);
    t.trace.ibwrt(ud, "ID?\r\n", 5);
    char buffer[64];
    t.trace.ibrd(ud, buffer, sizeof buffer);
    std::uint16_t addresses[32];
    for (std::uint16_t a = 0; a <= 30; ++a) {
        addresses[a] = a;
    }
    addresses[31] = gpib::NOADDR;
    std::int16_t found[15];
    t.trace.FindLstn(0, addresses, found, 15);

    const QStringList lines = t.lines();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral("gpib: RegisterGpibGlobalsForThread() -> 0"));
    EXPECT_EQ(lines[1], QStringLiteral("gpib: ibdev(board 0, pad 16, sad 0, tmo 12, eot 1, eos 0x0)"
                                       " -> ud %1, ibsta 0x0100 (CMPL), ibcntl 0")
                            .arg(ud));
    EXPECT_EQ(lines[2],
              QStringLiteral("gpib: ibwrt(ud %1, \"ID?\\r\\n\", 5) -> ibsta 0x0100 (CMPL), "
                             "ibcntl 5")
                  .arg(ud));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("gpib: ibrd(ud %1, 64) -> \"").arg(ud)));
    EXPECT_TRUE(lines[3].contains(QStringLiteral("DM5010")));
    EXPECT_TRUE(lines[3].contains(QStringLiteral("\\r\\n\", ibsta 0x2100 (END CMPL)")));
    EXPECT_EQ(lines[4], QStringLiteral("gpib: FindLstn(board 0, [0..30], limit 15) -> [0 16], "
                                       "ibsta 0x0120 (CMPL CIC), ibcntl 2"));
    // Each line ends with the time the call took.
    EXPECT_NE(t.out.str().find(" ms]\n"), std::string::npos);
}

TEST(TraceDriver, ShowsWhyAMeterDoesNotAnswer)
{
    Traced t;
    const int ud = t.trace.ibdev(0, 9, 0, gpib::T1s, 1, 0);
    t.trace.ibwrt(ud, "ID?", 3);
    char buffer[8];
    const int sta = t.trace.ibrd(ud, buffer, sizeof buffer);
    const QStringList lines = t.lines();
    EXPECT_TRUE(
        lines[1].endsWith(QStringLiteral("-> ibsta 0x8100 (ERR CMPL), iberr 2 (ENOL), ibcntl 0")))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].endsWith(
        QStringLiteral("-> \"\", ibsta 0xc100 (ERR TIMO CMPL), iberr 6 (EABO), ibcntl 0")))
        << lines[2].toStdString();
    // The caller sees the inner driver's status.
    EXPECT_EQ(sta, t.trace.inner().status().ibsta);
    EXPECT_EQ(t.trace.status().iberr, gpib::EABO);
}

TEST(TraceFormat, EscapesEveryByteThatIsNotPlainText)
{
    const char data[] = {'a', '"', '\\', '\t', '\0', '\x1b', '\xff', '~'};
    EXPECT_EQ(trace::quoted(data, sizeof data), "\"a\\\"\\\\\\t\\x00\\x1b\\xff~\"");
    EXPECT_EQ(trace::quoted("abcdef", 6, 4), "\"abcd\" (+2 bytes)");
    EXPECT_EQ(trace::quoted(nullptr, 5), "\"\"");
    const std::uint16_t list[] = {0, 2, 3, 5, 6, 7, 9, gpib::NOADDR};
    EXPECT_EQ(trace::addressList(list), "[0 2 3 5..7 9]");
}

} // namespace
} // namespace lumodm
