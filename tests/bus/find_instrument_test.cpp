#include "tests/bus/bus_fixture.h"

namespace lumodm::testing {
namespace {

const QString NotFoundTitle =
    QStringLiteral("Expected Id-response from device not found") + QString(40, QLatin1Char(' '));

class FindInstrumentTest : public BusTest
{
  protected:
    // Discovers the interface and the given instruments, as at start-up.
    void bus(std::vector<std::int16_t> addresses)
    {
        driver.listeners = {0};
        driver.listeners.insert(driver.listeners.end(), addresses.begin(), addresses.end());
        std::int16_t mode = 1;
        rv.DeviceTimeout = gpib::T3s;
        rv.InitGpibBus(mode);
        clearLog();
    }
    std::int16_t find(QString query, QString expected)
    {
        return rv.FindInstrument(query, expected);
    }
};

TEST_F(FindInstrumentTest, FirstListenerWhoseAnswerContainsTheTextInAnyCase)
{
    bus({3, 16});
    driver.respond(3, "ID?", "TEK/XY123\r\n");
    driver.respond(16, "ID?", "tek/dm5010,v81.1\r\n");
    EXPECT_EQ(find("ID?", "DM"), 17);
    EXPECT_EQ(driver.log, (Log{"ibdev 0 1 0 11 1 0", "ibpad 17 3", "ibclr 17", "ibrsp 17",
                               "ibwrt 17 \"ID?\"", "ibrd 17 256", "ibpad 17 16", "ibclr 17",
                               "ibrsp 17", "ibwrt 17 \"ID?\"", "ibrd 17 256", "ibtmo 17 12"}));
    EXPECT_EQ(rv.UnclaimedListeners, (std::array<std::int16_t, 15>{1, 3, 0}));
    EXPECT_EQ(rv.ListenerTable[0], 2);
    EXPECT_EQ(rv.ProbeOpen, 0);
    EXPECT_TRUE(platform.messages().empty());
}

TEST_F(FindInstrumentTest, FailuresStripTheMarkersFromTheCallersTexts)
{
    bus({3});
    QString query = "ID?";
    QString expected = "!DM";
    EXPECT_EQ(rv.FindInstrument(query, expected), 0);
    EXPECT_EQ(expected, "DM");
    EXPECT_TRUE(platform.messages().empty()) << "silent";
    EXPECT_EQ(rv.ProbeOpen, -1);
    // The silent listener's failed read is followed by a device clear.
    EXPECT_EQ(driver.calls({"ibrd", "ibclr"}), (Log{"ibclr 17", "ibrd 17 256", "ibclr 17"}));

    query = "!ID?!";
    expected = "?DM!";
    EXPECT_EQ(rv.FindInstrument(query, expected), 0);
    EXPECT_EQ(query, "ID?");
    EXPECT_EQ(expected, "DM");
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0].text,
              "ID Query: ID?\n\nExpected Response: DM\n\nReceived Response(s):\n\n\n"
              "Correct the problem and retry. Program will continue.");
    EXPECT_FALSE(platform.ended());
}

TEST_F(FindInstrumentTest, NotFoundListsTheLatestResponseFirstAndEnds)
{
    bus({3, 16});
    driver.respond(3, "ID?", "AAA\n");
    driver.respond(16, "ID?", "  BBB  ");
    EXPECT_THROW(find("ID?", "DM"), ProgramEnded);
    ASSERT_EQ(platform.messages().size(), 1u);
    const ShownMessage& m = platform.messages()[0];
    EXPECT_EQ(m.text, "ID Query: ID?\n\nExpected Response: DM\n\nReceived Response(s):\n"
                      "BBB\nAAA\n\nCorrect the problem and restart. Program will end.");
    EXPECT_EQ(m.title, NotFoundTitle);
    EXPECT_EQ(m.buttons, MessageButtons::Ok);
    EXPECT_EQ(m.icon, MessageIcon::Stop);
}

TEST_F(FindInstrumentTest, BangOnTheQuerySkipsTheClearAndQuestionMarkPausesBeforeIt)
{
    bus({3});
    driver.respond(3, "ID?", "DM5120");
    double polledAt = 0;
    double writtenAt = 0;
    driver.onCall = [&](const std::string& line) {
        (line.rfind("ibrsp", 0) == 0 ? polledAt : writtenAt) = platform.now();
    };
    EXPECT_EQ(find("!ID?", "!?DM"), 17);
    EXPECT_TRUE(driver.calls({"ibclr"}).empty());
    EXPECT_GE(writtenAt - polledAt, 0.1 - 1e-6);
}

TEST(FindInstrumentExact, ComparesTheWholeTextWithCase)
{
    struct Case
    {
        QByteArray answer;
        bool found;
    };
    for (const Case& c :
         {Case{"DM5010\r\n", true}, Case{"dm5010", false}, Case{"TEK DM5010", false},
          Case{"DM5010 ", true}, Case{QByteArray(256, 'x') + "DM5010", false}}) {
        ScriptedDriver driver;
        ScriptedPlatform platform;
        Vbib32 gpib(driver);
        Vbib32Rv rv(gpib, platform);
        driver.listeners = {0, 3};
        driver.respond(3, "ID?", c.answer);
        std::int16_t mode = 1;
        rv.InitGpibBus(mode);
        QString query = "ID?";
        QString expected = "!DM5010!";
        EXPECT_EQ(rv.FindInstrument(query, expected) != 0, c.found)
            << c.answer.left(20).constData();
    }
}

TEST_F(FindInstrumentTest, EmptyExpectedTextTakesAnyAnswer)
{
    bus({3, 4});
    driver.respond(4, "ID?", "x");
    EXPECT_EQ(find("ID?", ""), 17);
    EXPECT_EQ(rv.UnclaimedListeners[1], 3); // the silent one stays unclaimed
    EXPECT_EQ(rv.UnclaimedListeners[2], 0);
}

TEST_F(FindInstrumentTest, AFailedSearchKeepsItsProbeAFoundOneOpensANew)
{
    bus({3, 16});
    EXPECT_EQ(find("ID?", "!DM"), 0);
    driver.respond(-1, "ID?", "DM5010");
    EXPECT_EQ(find("ID?", "DM"), 17);
    clearLog();
    EXPECT_EQ(find("ID?", "DM"), 18);
    EXPECT_EQ(driver.calls({"ibdev", "ibpad"}), (Log{"ibdev 0 1 0 11 1 0", "ibpad 18 16"}));
    EXPECT_EQ(rv.UnclaimedListeners[0], 0);
}

TEST_F(FindInstrumentTest, NoUnclaimedListenerLeft)
{
    bus({3});
    driver.respond(3, "ID?", "DM5010");
    ASSERT_EQ(find("ID?", "DM"), 17);
    EXPECT_EQ(find("ID?", "!DM"), 0); // silent: no message
    EXPECT_TRUE(platform.messages().empty());
    EXPECT_THROW(find("ID?!", "DM"), ProgramEnded); // ends even when asked to go on
    ASSERT_EQ(platform.messages().size(), 1u);
    const ShownMessage& m = platform.messages()[0];
    EXPECT_EQ(m.text, "Can't find more than 1 device(s).\n\nCorrect problem and restart.");
    EXPECT_EQ(m.title, "Not enough devices on the bus");
    EXPECT_EQ(m.icon, MessageIcon::Stop);
}

} // namespace
} // namespace lumodm::testing
