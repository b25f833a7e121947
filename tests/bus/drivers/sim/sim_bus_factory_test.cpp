#include "bus/drivers/sim/sim_bus_factory.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

QString placed(const SimulatedBus& bus)
{
    QStringList meters;
    for (int address : bus.addresses()) {
        meters << QStringLiteral("%1@%2")
                      .arg(QString::fromLatin1(bus.meterAt(address)->model().name))
                      .arg(address);
    }
    return meters.join(QLatin1Char(','));
}

TEST(SimBusFactory, PlacesTheMetersAsked)
{
    const struct
    {
        const char* spec;
        const char* meters;
    } cases[] = {
        {"", "DM5010@16"},
        {"DM5110", "DM5110@16"},
        {"dm5120", "DM5120@16"},
        {"DM5010@12,DM5120@14", "DM5010@12,DM5120@14"},
        {" DM5120 @ 3 , Dm5010@30", "DM5120@3,DM5010@30"},
        {"DM5010@1", "DM5010@1"},
    };
    for (const auto& c : cases) {
        QString error;
        auto bus = createSimulatedBus(QString::fromLatin1(c.spec), &error);
        ASSERT_TRUE(bus) << c.spec << ": " << error.toStdString();
        EXPECT_EQ(placed(*bus), QString::fromLatin1(c.meters)) << c.spec;
    }
}

TEST(SimBusFactory, RejectsBadSpecsWithAClearText)
{
    const struct
    {
        const char* spec;
        const char* mentioned;
    } cases[] = {
        {"DM5010@31", "not 1 to 30"},
        {"DM5010@0", "not 1 to 30"},
        {"DM5010@x", "not 1 to 30"},
        {"DM5010@016", "not 1 to 30"},
        {"DM9999", "DM9999"},
        {"@12", "unknown simulated meter"},
        {"DM5010,DM5110", "address 16 is given twice"},
        {"DM5010@12,DM5120@12", "address 12 is given twice"},
        {"DM5010,,DM5120", "empty"},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_FALSE(createSimulatedBus(QString::fromLatin1(c.spec), &error)) << c.spec;
        EXPECT_TRUE(error.contains(QString::fromLatin1(c.mentioned))) << error.toStdString();
    }
    EXPECT_FALSE(createSimulatedBus(QStringLiteral("nonsense"), nullptr));
}

} // namespace
} // namespace lumodm
