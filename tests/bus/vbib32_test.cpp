#include "tests/bus/bus_fixture.h"

namespace lumodm::testing {
namespace {

TEST(Vbib32, RegistrationFollowsTheReturnCodeAndRetriesWhileNotRegistered)
{
    const struct
    {
        int code;
        std::vector<std::string> firstCallLog; // before and including SendIFC
        bool registered;
    } cases[] = {
        {0, {"Register", "SendIFC 0"}, true},
        {1, {"Register", "Unregister", "Register", "SendIFC 0"}, true},
        {2, {"Register", "Unregister", "SendIFC 0"}, false},
        {3, {"Register", "Unregister", "SendIFC 0"}, false},
        {4, {"Register", "SendIFC 0"}, false},
        {-1, {"Register", "SendIFC 0"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        ScriptedDriver driver;
        driver.registerResults = {c.code};
        Vbib32 gpib(driver);
        gpib.SendIFC(0);
        EXPECT_EQ(driver.log, c.firstCallLog);
        EXPECT_EQ(gpib.registered(), c.registered);
        driver.log.clear();
        gpib.ibsre(0, 1);
        EXPECT_EQ(driver.log.size(), c.registered ? 1u : 2u);
        EXPECT_EQ(driver.log.front(), c.registered ? "ibsre 0 1" : "Register");
        EXPECT_EQ(driver.log.back(), "ibsre 0 1");
    }
}

TEST(Vbib32, StatusCopiesKeepTheLowSixteenBitsAndDescriptorsMustFit)
{
    ScriptedDriver driver;
    Vbib32 gpib(driver);
    driver.queueOutcome("ibsre", {0x0001A000 | gpib::ERR, 0x10014, 70000});
    gpib.ibsre(0, 1);
    EXPECT_EQ(gpib.ibsta, static_cast<std::int16_t>(-0x6000)); // 0xA000: ERR and END
    EXPECT_EQ(gpib.iberr, 20);
    EXPECT_EQ(gpib.ibcnt, 70000 - 65536);
    driver.queueOutcome("ibsre", {gpib::ERR, -3, -1});
    gpib.ibsre(0, 1);
    EXPECT_EQ(gpib.iberr, -3);
    EXPECT_EQ(gpib.ibcnt, -1);
    gpib.ibsre(0, 1); // success clears the copies again
    EXPECT_EQ(gpib.ibsta, gpib::CMPL);
    EXPECT_EQ(gpib.iberr, 0);

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
