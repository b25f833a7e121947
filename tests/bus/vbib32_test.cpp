#include "tests/bus/bus_fixture.h"

namespace lumodm::testing {
namespace {

struct RegistrationCase
{
    int code;
    std::vector<std::string> firstCallLog; // before and including SendIFC
    bool registered;
};

class RegistrationTest : public ::testing::TestWithParam<RegistrationCase>
{
};

TEST_P(RegistrationTest, FollowsTheReturnCode)
{
    const RegistrationCase& c = GetParam();
    ScriptedDriver driver;
    driver.registerResults = {c.code};
    Vbib32 gpib(driver);
    gpib.SendIFC(0);
    EXPECT_EQ(driver.log, c.firstCallLog);
    EXPECT_EQ(gpib.registered(), c.registered);

    // The next call registers again only while not registered.
    driver.log.clear();
    gpib.ibsre(0, 1);
    const std::vector<std::string> again = {"Register", "ibsre 0 1"};
    const std::vector<std::string> plain = {"ibsre 0 1"};
    EXPECT_EQ(driver.log, c.registered ? plain : again);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, RegistrationTest,
    ::testing::Values(RegistrationCase{0, {"Register", "SendIFC 0"}, true},
                      RegistrationCase{
                          1, {"Register", "Unregister", "Register", "SendIFC 0"}, true},
                      RegistrationCase{2, {"Register", "Unregister", "SendIFC 0"}, false},
                      RegistrationCase{3, {"Register", "Unregister", "SendIFC 0"}, false},
                      RegistrationCase{4, {"Register", "SendIFC 0"}, false},
                      RegistrationCase{-1, {"Register", "SendIFC 0"}, false}));

TEST(Vbib32Status, CopiesTheLowSixteenBitsAfterEveryCall)
{
    ScriptedDriver driver;
    Vbib32 gpib(driver);
    driver.queueOutcome("ibsre", {0x0001A000 | gpib::ERR, 0x10014, 70000});
    gpib.ibsre(0, 1);
    EXPECT_EQ(gpib.ibsta, static_cast<std::int16_t>(-0x6000)); // 0xA000
    EXPECT_TRUE(gpib.ibsta & gpib::ERR);
    EXPECT_TRUE(gpib.ibsta & gpib::END);
    EXPECT_EQ(gpib.iberr, 20);
    EXPECT_EQ(gpib.ibcnt, 70000 - 65536);

    driver.queueOutcome("ibsre", {gpib::ERR, -3, -1});
    gpib.ibsre(0, 1);
    EXPECT_EQ(gpib.iberr, -3);
    EXPECT_EQ(gpib.ibcnt, -1);

    gpib.ibsre(0, 1); // success clears the copies again
    EXPECT_EQ(gpib.ibsta, gpib::CMPL);
    EXPECT_EQ(gpib.iberr, 0);
}

TEST(Vbib32Status, DescriptorOutsideSixteenBitsIsAFailure)
{
    ScriptedDriver driver;
    Vbib32 gpib(driver);
    driver.ibdevResults = {70000, 12};
    EXPECT_EQ(gpib.ibdev(0, 1, 0, 11, 1, 0), -1);
    EXPECT_EQ(gpib.ibdev(0, 1, 0, 11, 1, 0), 12);
}

TEST(GpibTimeouts, SecondsPerCode)
{
    const double expected[] = {0,   10e-6, 30e-6, 100e-6, 300e-6, 1e-3, 3e-3, 10e-3, 30e-3,
                               0.1, 0.3,   1,     3,      10,     30,   100,  300,   1000};
    for (int code = 0; code <= 17; ++code) {
        EXPECT_DOUBLE_EQ(gpib::timeoutSeconds(code), expected[code]) << code;
    }
    // Nonsense codes never mean "wait for ever".
    EXPECT_DOUBLE_EQ(gpib::timeoutSeconds(18), 1000);
    EXPECT_DOUBLE_EQ(gpib::timeoutSeconds(-1), 1000);
}

} // namespace
} // namespace lumodm::testing
