#include "bus/drivers/prologix/adapter_target.h"
#include "bus/drivers/prologix/plus_plus_text.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

TEST(PlusPlusText, EscapesOnlyWhatTheAdapterWouldTakeAndReadsOnlyWhatCanBe)
{
    // The driver's data reaching the meter intact is checked end to end.
    EXPECT_EQ(plusplus::escaped("A\r\n\x1b+Z", 6), "A\x1b\r\x1b\n\x1b\x1b\x1b+Z");
    EXPECT_EQ(plusplus::statusByte(" 0\r"), 0);
    EXPECT_EQ(plusplus::statusByte("255"), 255);
    for (const char* garbled : {"", "256", "-1", "1e2", "ok", "1234", "12 3"}) {
        EXPECT_FALSE(plusplus::statusByte(garbled)) << garbled;
    }
    EXPECT_EQ(plusplus::addressesIn("3 16\r\n"), (std::vector<int>{3, 16}));
    EXPECT_EQ(plusplus::addressesIn("Found: 5,7,5"), (std::vector<int>{5, 7}));
    // Numbers that are no primary address are not taken.
    EXPECT_EQ(plusplus::addressesIn("31 100 007 12 30"), (std::vector<int>{12, 30}));
    EXPECT_TRUE(plusplus::addressesIn("Unrecognized command").empty());
}

TEST(AdapterTarget, TellsSerialDevicesFromHostsAndRefusesMalformedOnes)
{
    // Text, then what it names ("" refused), its port and the text shown.
    const char* cases[][4] = {
        {"/dev/ttyUSB0", "/dev/ttyUSB0", "1234"}, {"COM3", "COM3", "1234"},
        {"192.168.1.20", "192.168.1.20", "1234"}, {"gpib.lab:5000", "gpib.lab", "5000"},
        {"[::1]:1235", "::1", "1235", "[::1]:1235"}, {"[fe80::1]", "fe80::1", "1234"},
        {""}, {"  "}, {"host:"}, {"host:0"}, {"host:65536"}, {"host:12x"}, {":1234"}, {"::1"},
        {"[::1"}, {"[::1]x"}, {"a host"}};
    for (const auto& c : cases) {
        QString error;
        const auto target = parseAdapterTarget(QString::fromLatin1(c[0]), &error);
        ASSERT_EQ(bool(target), c[1] != nullptr) << c[0];
        EXPECT_EQ(error.isEmpty(), bool(target)) << c[0];
        if (!target) {
            continue;
        }
        const bool serial = c[0][0] == '/' || c[0][0] == 'C';
        EXPECT_EQ(target->kind, serial ? AdapterTarget::Kind::Serial : AdapterTarget::Kind::Tcp);
        EXPECT_EQ(serial ? target->device : target->host, QString::fromLatin1(c[1])) << c[0];
        EXPECT_EQ(target->port, QByteArray(c[2]).toUShort()) << c[0];
        if (c[3] != nullptr) {
            EXPECT_EQ(target->text(), QString::fromLatin1(c[3]));
        }
    }
}

} // namespace
} // namespace lumodm
