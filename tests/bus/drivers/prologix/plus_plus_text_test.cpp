#include "bus/drivers/prologix/adapter_target.h"
#include "bus/drivers/prologix/plus_plus_text.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

// Escaping is checked end to end: the driver's data reaches the meter intact.
TEST(PlusPlusText, ReadsAStatusByteOnlyFromADecimalByte)
{
    EXPECT_EQ(plusplus::statusByte(" 0\r"), 0);
    EXPECT_EQ(plusplus::statusByte("255"), 255);
    for (const char* garbled : {"", "256", "-1", "1e2", "ok", "1234", "12 3"}) {
        EXPECT_FALSE(plusplus::statusByte(garbled)) << garbled;
    }
}

TEST(PlusPlusText, TakesTheListenerAddressesOfAnAnswer)
{
    EXPECT_EQ(plusplus::addressesIn("3 16\r\n"), (std::vector<int>{3, 16}));
    EXPECT_EQ(plusplus::addressesIn("Found: 5,7,5"), (std::vector<int>{5, 7}));
    // Numbers that are no primary address are not taken.
    EXPECT_EQ(plusplus::addressesIn("31 100 007 12"), (std::vector<int>{12}));
    EXPECT_TRUE(plusplus::addressesIn("Unrecognized command").empty());
}

TEST(AdapterTarget, TellsSerialDevicesFromHosts)
{
    struct Case
    {
        const char* text;
        AdapterTarget::Kind kind;
        const char* where;
        quint16 port;
    };
    const Case cases[] = {
        {"/dev/ttyUSB0", AdapterTarget::Kind::Serial, "/dev/ttyUSB0", 1234},
        {"COM3", AdapterTarget::Kind::Serial, "COM3", 1234},
        {"192.168.1.20", AdapterTarget::Kind::Tcp, "192.168.1.20", 1234},
        {"gpib.lab:5000", AdapterTarget::Kind::Tcp, "gpib.lab", 5000},
        {"[::1]:1235", AdapterTarget::Kind::Tcp, "::1", 1235},
        {"[fe80::1]", AdapterTarget::Kind::Tcp, "fe80::1", 1234},
    };
    for (const Case& c : cases) {
        QString error;
        const auto target = parseAdapterTarget(QString::fromLatin1(c.text), &error);
        ASSERT_TRUE(target) << c.text << ": " << error.toStdString();
        EXPECT_EQ(target->kind, c.kind) << c.text;
        const QString where = c.kind == AdapterTarget::Kind::Serial ? target->device : target->host;
        EXPECT_EQ(where, QString::fromLatin1(c.where)) << c.text;
        EXPECT_EQ(target->port, c.port) << c.text;
    }
    EXPECT_EQ(parseAdapterTarget(QStringLiteral("[::1]:1235"), nullptr)->text(),
              QStringLiteral("[::1]:1235"));
}

TEST(AdapterTarget, RefusesMalformedTargets)
{
    for (const char* bad : {"", "  ", "host:", "host:0", "host:65536", "host:12x", ":1234", "::1",
                            "[::1", "[::1]x", "a host"}) {
        QString error;
        EXPECT_FALSE(parseAdapterTarget(QString::fromLatin1(bad), &error)) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
}

} // namespace
} // namespace lumodm
