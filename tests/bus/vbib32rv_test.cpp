#include "bus/vbib32rv.h"
#include "tests/support/scripted_driver.h"
#include "tests/support/scripted_platform.h"

#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

using Log = std::vector<std::string>;
using Table = std::array<std::int16_t, 15>;

const std::string Restart = "\n\nCorrect problem and restart.";
const std::string TooMany = "Too many listeners found.\nMax 14 listeners allowed." + Restart;
const std::string ReadFailed = "Ok Exclamation|I/O Error|Read cycle failed\nOperation aborted.";

// The helper module over a scripted driver and platform, with a device
// opened at address 5 (descriptor 17, 3 s timeout); the driver log starts after it.
class BusTest : public ::testing::Test
{
  protected:
    BusTest() { driver.log.clear(); }

    ScriptedDriver driver;
    ScriptedPlatform platform;
    Vbib32 gpib{driver};
    Vbib32Rv rv{gpib, platform};
    std::int16_t device = gpib.ibdev(0, 5, 0, gpib::T3s, 1, 0);

    // Start-up with the interface at 0 and these listeners.
    void init(std::vector<std::int16_t> listeners)
    {
        driver.listeners = {0};
        driver.listeners.insert(driver.listeners.end(), listeners.begin(), listeners.end());
        std::int16_t mode = 1;
        rv.DeviceTimeout = gpib::T3s;
        rv.InitGpibBus(mode);
        driver.log.clear();
    }
    std::int16_t find(QString query, QString text) { return rv.FindInstrument(query, text); }
    // The status the call ends the program with, or -1 when it returns.
    template <class Call> int endStatus(Call call)
    {
        try {
            call();
        } catch (const ProgramEnded& ended) {
            return ended.exitStatus;
        }
        return -1;
    }
    // The boxes shown since the last call, as "buttons icon|title|text".
    Log boxes()
    {
        static const char* const buttons[] = {"Ok", "OkCancel", "YesNo"};
        static const char* const icons[] = {"-", "Stop", "Exclamation", "Question"};
        Log shown;
        for (const ShownMessage& m : platform.messages()) {
            shown.push_back(std::string(buttons[int(m.buttons)]) + " " + icons[int(m.icon)] + "|" +
                            m.title.toStdString() + "|" + m.text.toStdString());
        }
        platform.clearMessages();
        return shown;
    }
};

TEST_F(BusTest, InitClearsEnablesAndTablesTheListenersAtZeroToThirty)
{
    Table fourteen{14};
    std::vector<std::int16_t> board{0};
    for (std::int16_t a = 1; a <= 14; ++a) {
        fourteen[a] = a;
        board.push_back(a);
    }
    const std::vector<std::int16_t> noBoard(board.begin() + 1, board.end());
    const std::pair<std::vector<std::int16_t>, Table> cases[] = {
        {{0}, Table{}},                        // only the interface: no error either
        {{3, 16}, Table{2, 3, 16}},            // the interface not reported
        {{0, 4, 0x6005}, Table{2, 4, 0x6005}}, // secondary address kept
        {board, fourteen},
        {noBoard, fourteen},
    };
    std::int16_t mode = 1;
    for (const auto& [listeners, table] : cases) {
        driver.listeners = listeners;
        rv.InitGpibBus(mode);
        EXPECT_EQ(rv.ListenerTable, table);
        EXPECT_EQ(rv.UnclaimedListeners, table);
    }
    EXPECT_EQ(Log(driver.log.begin(), driver.log.begin() + 3),
              (Log{"SendIFC 0", "ibsre 0 1",
                   "FindLstn 0 [0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,"
                   "20,21,22,23,24,25,26,27,28,29,30] 15"}));
    EXPECT_TRUE(boxes().empty());

    // Fifteen are too many, whether the driver runs out of room (ETAB, with
    // the interface) or only the tables do.
    for (auto listeners : {board, noBoard}) {
        driver.listeners = listeners;
        driver.listeners.push_back(15);
        EXPECT_EQ(endStatus([&] { rv.InitGpibBus(mode); }), 1);
        EXPECT_EQ(boxes(), Log{"Ok Stop|Initialization Error 20|" + TooMany});
        EXPECT_EQ(rv.ListenerTable, Table{});
        EXPECT_EQ(rv.UnclaimedListeners, Table{});
    }
}

TEST_F(BusTest, InitFailureMessageAndEndFollowTheMode)
{
    // Mode, error, message (empty: none), ends.
    const std::tuple<std::int16_t, int, std::string, bool> cases[] = {
        {1, 14, "No listeners found." + Restart, true},
        {1, 7, Restart, true},
        {-1, 14, "", false},
        {-1, 7, Restart, false},
        {0, 14, "No listeners found.", false},
        {2, 20, TooMany, false},
    };
    for (auto [mode, iberr, text, ends] : cases) {
        SCOPED_TRACE(std::to_string(mode) + " " + std::to_string(iberr));
        driver.listeners = {0, 5};
        driver.failNext("FindLstn", iberr);
        EXPECT_EQ(endStatus([&] { rv.InitGpibBus(mode); }), ends ? 1 : -1);
        EXPECT_EQ(boxes(), text.empty() ? Log{}
                                        : Log{"Ok Stop|Initialization Error " +
                                              std::to_string(iberr) + "|" + text});
        EXPECT_EQ(rv.UnclaimedListeners, Table{});
    }
}

TEST_F(BusTest, FindTakesEachTimeTheFirstListenerWhoseAnswerContainsTheTextInAnyCase)
{
    init({4, 3, 16}); // 4 stays silent
    driver.respond(3, "ID?", "TEK/XY123\r\n");
    driver.respond(16, "ID?", "tek/dm5010,v81.1\r\n");
    EXPECT_EQ(find("ID?", "DM"), 18);
    // The silent listener's failed read is followed by a device clear.
    EXPECT_EQ(driver.log,
              (Log{"ibdev 0 1 0 11 1 0", "ibpad 18 4", "ibclr 18", "ibrsp 18", "ibwrt 18 \"ID?\"",
                   "ibrd 18 256", "ibclr 18", "ibpad 18 3", "ibclr 18", "ibrsp 18",
                   "ibwrt 18 \"ID?\"", "ibrd 18 256", "ibpad 18 16", "ibclr 18", "ibrsp 18",
                   "ibwrt 18 \"ID?\"", "ibrd 18 256", "ibtmo 18 12"}));
    EXPECT_EQ(rv.UnclaimedListeners, (Table{2, 4, 3, 0}));
    EXPECT_EQ(rv.ListenerTable[0], 3);
    EXPECT_EQ(rv.ProbeOpen, 0);

    // The probe was handed out: a new one. An empty text takes any answer but silence.
    EXPECT_EQ(find("ID?", ""), 19);
    EXPECT_EQ(rv.UnclaimedListeners, (Table{1, 4, 0, 0}));

    // With none left a search ends the program, even when asked to go on, unless silent.
    driver.respond(4, "ID?", "x");
    EXPECT_EQ(find("ID?", ""), 20);
    EXPECT_EQ(find("ID?", "!DM"), 0);
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(endStatus([&] { find("ID?!", "DM"); }), 1);
    EXPECT_EQ(boxes(), Log{"Ok Stop|Not enough devices on the bus|Can't find more than 3 "
                           "device(s).\n\nCorrect problem and restart."});
}

TEST_F(BusTest, FindFailuresStripTheMarkersKeepTheProbeAndListTheLatestAnswerFirst)
{
    init({3, 16});
    driver.respond(3, "ID?", "AAA\n");
    driver.respond(16, "ID?", "  BBB  ");
    QString query = "ID?";
    QString expected = "!DM";
    EXPECT_EQ(rv.FindInstrument(query, expected), 0);
    EXPECT_EQ(expected, "DM");
    EXPECT_TRUE(boxes().empty()) << "silent";
    EXPECT_EQ(rv.ProbeOpen, -1);

    // "!" before the query skips the clear; "?" before the text pauses before each query.
    driver.log.clear();
    const double start = platform.now();
    query = "!ID?!";
    expected = "?DM!";
    EXPECT_EQ(rv.FindInstrument(query, expected), 0);
    EXPECT_TRUE(driver.calls("ibclr").empty());
    EXPECT_GE(platform.now() - start, 0.2 - 1e-6);
    EXPECT_EQ(query + expected, "ID?DM");
    EXPECT_EQ(endStatus([&] { find("ID?", "DM"); }), 1);
    const std::string box = "Ok Stop|Expected Id-response from device not found" +
                            std::string(40, ' ') +
                            "|ID Query: ID?\n\nExpected Response: DM\n\nReceived Response(s):\n"
                            "BBB\nAAA\n\nCorrect the problem and re";
    EXPECT_EQ(boxes(),
              (Log{box + "try. Program will continue.", box + "start. Program will end."}));
    EXPECT_EQ(driver.nextDescriptor, 19); // one probe for all three
}

TEST_F(BusTest, FindBangAtTheEndComparesTheWholeTextWithCase)
{
    for (const auto& [answer, found] : std::initializer_list<std::pair<QByteArray, bool>>{
             {"DM5010\r\n", true},
             {"dm5010", false},
             {"TEK DM5010", false},
             {"DM5010 ", true},
             {QByteArray(256, 'x') + "DM5010", false}}) {
        init({3});
        driver.respond(3, "ID?", answer);
        EXPECT_EQ(find("ID?", "!DM5010!") != 0, found) << answer.left(20).constData();
    }
}

TEST_F(BusTest, ReadJoinsPiecesWithoutTheirOuterSpacesAndStripsTheLineEnd)
{
    driver.queueRead(" " + QByteArray(510, 'A') + " ", 0); // exactly 512, no END
    driver.queueRead("  B C  \r\n");
    EXPECT_EQ(rv.GpibRead(device), QString(510, QLatin1Char('A')) + "B C  ");
    EXPECT_EQ(driver.calls("ibrd").size(), 2u);

    // Response, result; the last a micro sign, as its byte.
    const char* const cases[] = {"1.23E+0\r\n", "1.23E+0", "1.23\n",    "1.23", "1.23\r", "1.23",
                                 "AB\rC",       "AB",      "\n",        "",     "A\n\r",  "A",
                                 "\r\n\r\n",    "\r",      "AB\n\nC",   "AB",   "",       "",
                                 "AB\n\n\n",    "AB",      "\265A\r\n", "\265A"};
    for (std::size_t i = 0; i < std::size(cases); i += 2) {
        driver.queueRead(cases[i]);
        EXPECT_EQ(rv.GpibRead(device), QString::fromLatin1(cases[i + 1])) << i;
    }
    EXPECT_TRUE(boxes().empty());
}

TEST_F(BusTest, FailedReadsDiscardEverythingAndSayWhy)
{
    // A timeout (nothing queued) on a later piece; the device's own timeout comes back.
    driver.ibtmo(device, 13);
    driver.queueRead(QByteArray(512, 'A'), 0);
    EXPECT_EQ(rv.GpibRead(device), "");
    EXPECT_EQ(driver.timeoutOf(device), 13);

    // An error without timeout or END ends the read like a timeout.
    driver.log.clear();
    driver.queueRead("AB", gpib::ERR, gpib::EBUS);
    EXPECT_EQ(rv.GpibRead(device), "");
    EXPECT_EQ(driver.calls("ibrd").size(), 1u);
    EXPECT_EQ(boxes(), Log(2, ReadFailed));
}

TEST_F(BusTest, ResponsesStopAtSixtyFourKilobytes)
{
    for (int i = 0; i < 127; ++i) {
        driver.queueRead(QByteArray(512, 'A'), 0);
    }
    driver.queueRead(QByteArray(512, 'B'));
    const QString r = rv.GpibRead(device);
    EXPECT_EQ(r.size(), 65536);
    EXPECT_TRUE(r.endsWith(QLatin1Char('B')));

    driver.log.clear();
    for (int i = 0; i < 200; ++i) {
        driver.queueRead(QByteArray(512, i % 2 ? ' ' : 'A'), 0);
    }
    EXPECT_EQ(rv.GpibRead(device), "");
    EXPECT_EQ(boxes(), Log{ReadFailed});
    EXPECT_EQ(driver.calls("ibrd").size(), 128u);
    EXPECT_EQ(driver.calls("ibtmo"), Log{"ibtmo 17 12"}); // already 3 s: only the restore
}

TEST_F(BusTest, QueryWritesWaitsWhileEventsRunAndReadsButNotAfterAFailedWrite)
{
    driver.ibtmo(device, 11); // read with 3 s, then back
    driver.respond(5, "FUNCT?", "DCV\r\n");
    std::vector<double> at;
    driver.onCall = [&] { at.push_back(platform.now()); };
    int clicks = 0;
    platform.postEventAt(platform.now() + 0.05, [&] { ++clicks; });
    EXPECT_EQ(rv.GpibQuery(device, "FUNCT?"), "DCV");
    EXPECT_EQ(driver.log, (Log{"ibtmo 17 11", "ibwrt 17 \"FUNCT?\"", "ibask 17 3", "ibtmo 17 12",
                               "ibwait 17 0x4100", "ibrd 17 512", "ibtmo 17 11"}));
    ASSERT_EQ(at.size(), 6u);
    EXPECT_GE(at[1] - at[0], static_cast<double>(0.1f));
    EXPECT_EQ(clicks, 1);

    driver.failNext("ibwrt", gpib::ENOL);
    EXPECT_EQ(rv.GpibQuery(device, "SEND"), "");
    EXPECT_EQ(driver.log.back(), "ibwrt 17 \"SEND\"");
    EXPECT_EQ(rv.GpibWriteFailed, -1);
    rv.GpibWrite(device, QString::fromUtf8("INIT \u00b5"));
    EXPECT_EQ(driver.writes.back(), "INIT \xb5"); // bytes, not UTF-8
    EXPECT_EQ(rv.GpibWriteFailed, 0) << "the next write starts clean";
}

TEST_F(BusTest, AFailedWriteNamesTheErrorAndCancelEnds)
{
    // The number with a blank where a minus sign would be.
    const char* const cases[] = {" 0|Operating system error.",
                                 " 14|GPIB bus eror.",
                                 " 15|Serial poll status queue owerflow.",
                                 " 20|Table problem.",
                                 " 9|Unknown error.",
                                 "-3|Unknown error."};
    for (const std::string box : cases) {
        driver.failNext("ibwrt", std::stoi(box));
        rv.GpibWrite(device, "SEND");
        EXPECT_EQ(boxes(), Log{"OkCancel Exclamation|GPIB ERROR #" + box +
                               "\nSelect OK to continue or Cancel to terminate program."});
        EXPECT_EQ(rv.GpibWriteFailed, -1);
    }
    driver.failNext("ibwrt", gpib::ENOL);
    platform.queueAnswer(MessageAnswer::Cancel);
    EXPECT_EQ(endStatus([&] { rv.GpibWrite(device, "SEND"); }), 1);
}

TEST_F(BusTest, NoDeviceEndsTheProgramBeforeAnyBusTraffic)
{
    std::int16_t none = 0;
    EXPECT_EQ(endStatus([&] { rv.GpibWrite(none, "SEND"); }), 1);
    EXPECT_EQ(endStatus([&] { rv.GpibRead(none); }), 1);
    EXPECT_EQ(endStatus([&] { rv.GpibQuery(none, "SEND"); }), 1);
    EXPECT_TRUE(driver.log.empty());
    EXPECT_EQ(boxes(), Log(3, "Ok Stop|Device Error|Device not configured." + Restart));
}

} // namespace
} // namespace lumodm::testing
