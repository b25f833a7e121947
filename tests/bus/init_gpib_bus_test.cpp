#include "tests/bus/bus_fixture.h"

namespace lumodm::testing {
namespace {

using Table = std::array<std::int16_t, 15>;
using InitGpibBusTest = BusTest;

const char* const TooMany =
    "Too many listeners found.\nMax 14 listeners allowed.\n\nCorrect problem and restart.";

TEST_F(InitGpibBusTest, ClearsEnablesAndSearchesAddressesZeroToThirty)
{
    driver.listeners = {0, 12};
    std::int16_t mode = 1;
    rv.InitGpibBus(mode);
    EXPECT_EQ(driver.log, (Log{"Register", "SendIFC 0", "ibsre 0 1",
                               "FindLstn 0 [0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,"
                               "20,21,22,23,24,25,26,27,28,29,30] 15"}));
    EXPECT_EQ(rv.ListenerTable, (Table{1, 12}));
    EXPECT_EQ(rv.UnclaimedListeners, (Table{1, 12}));
    EXPECT_TRUE(platform.messages().empty());
}

TEST_F(InitGpibBusTest, ListenerTables)
{
    Table fourteen{14};
    std::vector<std::int16_t> board{0};
    for (std::int16_t a = 1; a <= 14; ++a) {
        fourteen[a] = a;
        board.push_back(a);
    }
    const struct
    {
        std::vector<std::int16_t> listeners;
        Table table;
    } cases[] = {
        {{0}, Table{}},                        // only the interface: no error either
        {{3, 16}, Table{2, 3, 16}},            // the interface not reported
        {{0, 4, 0x6005}, Table{2, 4, 0x6005}}, // secondary address kept
        {board, fourteen},
        {std::vector<std::int16_t>(board.begin() + 1, board.end()), fourteen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.listeners.size());
        driver.listeners = c.listeners;
        std::int16_t mode = 1;
        rv.InitGpibBus(mode);
        EXPECT_EQ(rv.ListenerTable, c.table);
        EXPECT_EQ(rv.UnclaimedListeners, c.table);
    }
    EXPECT_TRUE(platform.messages().empty());

    // Fifteen are too many, whether the driver runs out of room (ETAB, with
    // the interface) or only the tables do.
    for (bool withBoard : {true, false}) {
        platform.clearMessages();
        driver.listeners =
            withBoard ? board : std::vector<std::int16_t>(board.begin() + 1, board.end());
        driver.listeners.push_back(15);
        std::int16_t mode = 1;
        EXPECT_THROW(rv.InitGpibBus(mode), ProgramEnded);
        ASSERT_EQ(platform.messages().size(), 1u);
        EXPECT_EQ(platform.messages()[0].text, TooMany);
        EXPECT_EQ(platform.messages()[0].title, "Initialization Error 20");
        EXPECT_EQ(rv.UnclaimedListeners, Table{});
    }
}

TEST_F(InitGpibBusTest, FailureMessageAndEndFollowTheMode)
{
    const struct
    {
        std::int16_t mode;
        int iberr;
        const char* text; // nullptr: no message
        bool ends;
    } cases[] = {
        {1, 14, "No listeners found.\n\nCorrect problem and restart.", true},
        {1, 20, TooMany, true},
        {1, 7, "\n\nCorrect problem and restart.", true},
        {1, 0, "\n\nCorrect problem and restart.", true},
        {-1, 14, nullptr, false},
        {-1, 7, "\n\nCorrect problem and restart.", false},
        {0, 14, "No listeners found.", false},
        {2, 20, TooMany, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.mode) + " " + std::to_string(c.iberr));
        platform.clearMessages();
        driver.listeners = {0, 5};
        driver.failNext("FindLstn", c.iberr);
        std::int16_t mode = c.mode;
        bool ended = false;
        try {
            rv.InitGpibBus(mode);
        } catch (const ProgramEnded&) {
            ended = true;
        }
        EXPECT_EQ(ended, c.ends);
        ASSERT_EQ(platform.messages().size(), c.text ? 1u : 0u);
        if (c.text) {
            const ShownMessage& m = platform.messages()[0];
            EXPECT_EQ(m.text, QString::fromLatin1(c.text));
            EXPECT_EQ(m.title, "Initialization Error " + QString::number(c.iberr));
            EXPECT_EQ(m.buttons, MessageButtons::Ok);
            EXPECT_EQ(m.icon, MessageIcon::Stop);
        }
        EXPECT_EQ(rv.UnclaimedListeners, Table{});
    }
}

} // namespace
} // namespace lumodm::testing
