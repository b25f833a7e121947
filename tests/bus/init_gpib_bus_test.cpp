#include "tests/bus/bus_fixture.h"

namespace lumodm::testing {
namespace {

using Table = std::array<std::int16_t, 15>;

class InitGpibBusTest : public BusTest
{
  protected:
    void init(std::int16_t mode = 1) { rv.InitGpibBus(mode); }
    // Instruments at 1..n, after the interface at 0 when `withBoard`.
    void instruments(int n, bool withBoard)
    {
        driver.listeners.clear();
        if (withBoard) {
            driver.listeners.push_back(0);
        }
        for (int a = 1; a <= n; ++a) {
            driver.listeners.push_back(static_cast<std::int16_t>(a));
        }
    }
};

TEST_F(InitGpibBusTest, ClearsEnablesAndSearchesAddressesZeroToThirty)
{
    driver.listeners = {0, 12};
    init();
    EXPECT_EQ(driver.log, (Log{"Register", "SendIFC 0", "ibsre 0 1",
                               "FindLstn 0 [0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,"
                               "20,21,22,23,24,25,26,27,28,29,30] 15"}));
    EXPECT_TRUE(platform.messages().empty());
}

TEST_F(InitGpibBusTest, InterfaceAndOneInstrument)
{
    driver.listeners = {0, 12};
    init();
    const Table expected{1, 12};
    EXPECT_EQ(rv.ListenerTable, expected);
    EXPECT_EQ(rv.UnclaimedListeners, expected);
}

TEST_F(InitGpibBusTest, OnlyTheInterfaceGivesNoListenerAndNoError)
{
    driver.listeners = {0};
    init();
    EXPECT_EQ(rv.ListenerTable, Table{});
    EXPECT_TRUE(platform.messages().empty());
    EXPECT_FALSE(platform.ended());
}

TEST_F(InitGpibBusTest, FirstInstrumentKeptWhenTheDriverDoesNotReportTheInterface)
{
    driver.listeners = {3, 16};
    init();
    const Table expected{2, 3, 16};
    EXPECT_EQ(rv.ListenerTable, expected);
    EXPECT_EQ(rv.UnclaimedListeners, expected);
}

TEST_F(InitGpibBusTest, AddressWordsKeepTheirSecondaryAddress)
{
    driver.listeners = {0, 4, 0x6005};
    init();
    const Table expected{2, 4, 0x6005};
    EXPECT_EQ(rv.ListenerTable, expected);
}

TEST_F(InitGpibBusTest, FourteenInstrumentsFillTheTable)
{
    for (bool withBoard : {true, false}) {
        instruments(14, withBoard);
        init();
        const Table expected{14, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
        EXPECT_EQ(rv.ListenerTable, expected);
        EXPECT_EQ(rv.UnclaimedListeners, expected);
    }
    EXPECT_TRUE(platform.messages().empty());
}

TEST_F(InitGpibBusTest, FifteenInstrumentsAreTooMany)
{
    // With the interface the driver runs out of room (ETAB); without it the
    // fifteen fit the driver's list but not the tables.
    for (bool withBoard : {true, false}) {
        platform.clearMessages();
        instruments(15, withBoard);
        EXPECT_THROW(init(), ProgramEnded);
        ASSERT_EQ(platform.messages().size(), 1u);
        const ShownMessage& m = platform.messages()[0];
        EXPECT_EQ(m.text, "Too many listeners found.\nMax 14 listeners allowed.\n\n"
                          "Correct problem and restart.");
        EXPECT_EQ(m.title, "Initialization Error 20");
        EXPECT_EQ(rv.UnclaimedListeners, Table{});
    }
}

struct FailureCase
{
    std::int16_t mode;
    int iberr;
    const char* text; // nullptr: no message
    bool ends;
};

class InitGpibBusFailure : public InitGpibBusTest, public ::testing::WithParamInterface<FailureCase>
{
};

TEST_P(InitGpibBusFailure, MessageAndEnd)
{
    const FailureCase& c = GetParam();
    driver.listeners = {0, 5};
    driver.failNext("FindLstn", c.iberr);
    bool ended = false;
    try {
        init(c.mode);
    } catch (const ProgramEnded&) {
        ended = true;
    }
    EXPECT_EQ(ended, c.ends);
    if (c.text == nullptr) {
        EXPECT_TRUE(platform.messages().empty());
    } else {
        ASSERT_EQ(platform.messages().size(), 1u);
        const ShownMessage& m = platform.messages()[0];
        EXPECT_EQ(m.text, QString::fromLatin1(c.text));
        EXPECT_EQ(m.title, "Initialization Error " + QString::number(c.iberr));
        EXPECT_EQ(m.buttons, MessageButtons::Ok);
        EXPECT_EQ(m.icon, MessageIcon::Stop);
    }
    EXPECT_EQ(rv.UnclaimedListeners, Table{});
}

INSTANTIATE_TEST_SUITE_P(
    Modes, InitGpibBusFailure,
    ::testing::Values(FailureCase{1, 14, "No listeners found.\n\nCorrect problem and restart.",
                                  true},
                      FailureCase{1, 20,
                                  "Too many listeners found.\nMax 14 listeners allowed.\n\n"
                                  "Correct problem and restart.",
                                  true},
                      FailureCase{1, 7, "\n\nCorrect problem and restart.", true},
                      FailureCase{1, 0, "\n\nCorrect problem and restart.", true},
                      FailureCase{-1, 14, nullptr, false},
                      FailureCase{-1, 7, "\n\nCorrect problem and restart.", false},
                      FailureCase{0, 14, "No listeners found.", false},
                      FailureCase{2, 20,
                                  "Too many listeners found.\nMax 14 listeners allowed.\n\n"
                                  "Correct problem and restart.",
                                  false}));

} // namespace
} // namespace lumodm::testing
