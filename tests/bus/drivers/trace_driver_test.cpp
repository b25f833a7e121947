#include "bus/drivers/driver_factory.h"
#include "bus/drivers/sim/sim_bus_factory.h"
#include "bus/drivers/trace_driver.h"
#include "bus/drivers/trace_format.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <sstream>

namespace lumodm {
namespace {

TEST(TraceDriver, WritesEachCallWithItsDataAndStatus)
{
    std::ostringstream out;
    TraceDriver t(createSimulatedBus(QStringLiteral("DM5010@16"), nullptr), out);
    const std::uint16_t addresses[] = {0, 1, 2, 3, 16, gpib::NOADDR};
    std::int16_t found[15];
    char buffer[10];
    int value = 0;
    EXPECT_EQ(t.RegisterGpibGlobalsForThread(), 0);
    t.SendIFC(0);
    t.ibsre(0, 1);
    t.FindLstn(0, addresses, found, 15);
    const int ud = t.ibdev(0, 9, 0, gpib::T3s, 1, 0x40a);
    t.ibwrt(ud, "ID?", 3);
    EXPECT_EQ(t.ibrd(ud, buffer, 8), t.inner().status().ibsta);
    EXPECT_EQ(t.status().iberr, gpib::EABO);
    t.ibclr(ud);
    t.ibrsp(ud, buffer);
    t.ibpad(ud, 16);
    t.ibtmo(ud, gpib::T1s);
    for (int option : {gpib::IbcTMO, 0xC, 0xF}) { // timeout, end-of-string mode and byte
        t.ibask(ud, option, &value);
    }
    t.ibwrt(ud, "ID?\r\n", 5);
    t.ibwait(ud, 0x4100);
    for (int piece = 0; piece < 4; ++piece) {
        t.ibrd(ud, buffer, 10);
    }
    t.ibrsp(ud, buffer);
    t.ibclr(99);
    t.UnregisterGpibGlobalsForThread();
    t.close();

    QStringList lines;
    for (const QString& line :
         QString::fromStdString(out.str()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        lines << line.section(QStringLiteral("  ["), 0, 0); // without the time taken
    }
    EXPECT_EQ(
        lines.join(QLatin1Char('\n')).toStdString(),
        "gpib: RegisterGpibGlobalsForThread() -> 0\n"
        "gpib: SendIFC(board 0) -> ibsta 0x0120 (CMPL CIC), ibcntl 0\n"
        "gpib: ibsre(board 0, 1) -> ibsta 0x0120 (CMPL CIC), ibcntl 0\n"
        "gpib: FindLstn(board 0, [0..3 16], limit 15) -> [0 16], ibsta 0x0120 (CMPL CIC), "
        "ibcntl 2\n"
        "gpib: ibdev(board 0, pad 9, sad 0, tmo 12, eot 1, eos 0x40a) -> ud 1, ibsta 0x0100 "
        "(CMPL), ibcntl 0\n"
        "gpib: ibwrt(ud 1, \"ID?\", 3) -> ibsta 0x8100 (ERR CMPL), iberr 2 (ENOL), ibcntl 0\n"
        "gpib: ibrd(ud 1, 8) -> \"\", ibsta 0xc100 (ERR TIMO CMPL), iberr 6 (EABO), ibcntl 0\n"
        "gpib: ibclr(ud 1) -> ibsta 0x8100 (ERR CMPL), iberr 2 (ENOL), ibcntl 0\n"
        "gpib: ibrsp(ud 1) -> ibsta 0xc100 (ERR TIMO CMPL), iberr 6 (EABO), ibcntl 0\n"
        "gpib: ibpad(ud 1, 16) -> ibsta 0x0100 (CMPL), ibcntl 0\n"
        "gpib: ibtmo(ud 1, 11) -> ibsta 0x0100 (CMPL), ibcntl 0\n"
        "gpib: ibask(ud 1, option 0x3) -> value 11, ibsta 0x0100 (CMPL), ibcntl 0\n"
        "gpib: ibask(ud 1, option 0xc) -> value 1, ibsta 0x0100 (CMPL), ibcntl 0\n"
        "gpib: ibask(ud 1, option 0xf) -> value 10, ibsta 0x0100 (CMPL), ibcntl 0\n"
        "gpib: ibwrt(ud 1, \"ID?\\r\\n\", 5) -> ibsta 0x0100 (CMPL), ibcntl 5\n"
        "gpib: ibwait(ud 1, mask 0x4100) -> ibsta 0x0100 (CMPL), ibcntl 0\n"
        "gpib: ibrd(ud 1, 10) -> \"ID LUMO/DM\", ibsta 0x0100 (CMPL), ibcntl 10\n"
        "gpib: ibrd(ud 1, 10) -> \"5010,V79.1\", ibsta 0x0100 (CMPL), ibcntl 10\n"
        "gpib: ibrd(ud 1, 10) -> \" F1.1\\r\\n\", ibsta 0x2100 (END CMPL), ibcntl 7\n"
        "gpib: ibrd(ud 1, 10) -> \"\", ibsta 0xc100 (ERR TIMO CMPL), iberr 6 (EABO), ibcntl 0\n"
        "gpib: ibrsp(ud 1) -> status byte 0x00, ibsta 0x0100 (CMPL), ibcntl 1\n"
        "gpib: ibclr(ud 99) -> ibsta 0x8100 (ERR CMPL), iberr 0 (EDVR), ibcntl 0\n"
        "gpib: UnregisterGpibGlobalsForThread() -> 0\n"
        "gpib: close()");
    EXPECT_NE(out.str().find(" ms]\n"), std::string::npos);
}

// The programs' simulated meters keep no log of what they received.
TEST(DriverFactory, TheProgramsSimulatedMetersKeepNoMessageLog)
{
    DriverSpec spec;
    spec.kind = DriverSpec::Kind::Simulated;
    std::ostringstream trace;
    const DriverCreation c = createDriver(spec, QStringLiteral("lumodm"), trace);
    auto* bus = dynamic_cast<SimulatedBus*>(c.driver.get());
    ASSERT_NE(bus, nullptr);
    EXPECT_EQ(bus->ibwrt(bus->ibdev(0, 16, 0, gpib::T3s, 1, 0), "ID?", 3) & gpib::ERR, 0);
    EXPECT_TRUE(bus->deviceAt(16)->log().received().isEmpty());
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
