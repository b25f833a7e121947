#include "connect/connect_session.h"

#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sstream>
#include <stdlib.h>
#include <unistd.h>

namespace lumodm {
namespace {

using Bus = ConnectModel::Bus;

// What the chooser starts on, and the bus its choice makes.
TEST(ConnectModel, StartsOnWhatIsLikelyAndMakesTheBus)
{
    const SerialPortOffer plain{"/dev/ttyS0", "", guessAdapter(false, 0x0403, 0x6001)};
    const SerialPortOffer arduino{"/dev/ttyACM0", "", guessAdapter(true, 0x2341, 0x0043)};
    const SerialPortOffer ftdi{"/dev/ttyUSB0", "", guessAdapter(true, 0x0403, 0x6001)};
    const SerialPortOffer named{"/dev/ttyUSB1", "", guessAdapter(false, 0, 0, "AR488 GPIB")};
    Connection net;
    net.driver.kind = DriverSpec::Kind::Prologix;
    net.driver.adapter = QStringLiteral("gpib.lab:4000");
    net.driver.meters.addresses = {9};
    Connection several = net;
    several.driver.meters.addresses = {9, 12};
    const struct
    {
        bool loaded;
        QList<SerialPortOffer> ports;
        std::optional<Connection> remembered;
        Bus bus;
        const char* made; // kind, target, meters
    } cases[] = {
        {true, {ftdi}, std::nullopt, Bus::Board, "0  "},
        {false, {plain, arduino, ftdi}, std::nullopt, Bus::SerialAdapter, "3 /dev/ttyACM0 "},
        {false, {plain, ftdi}, std::nullopt, Bus::SerialAdapter, "2 /dev/ttyUSB0 "},
        {false, {plain, named}, std::nullopt, Bus::SerialAdapter, "3 /dev/ttyUSB1 "},
        {true, {ftdi}, net, Bus::NetworkAdapter, "2 gpib.lab:4000 9"},
        // Several meters remembered: the chooser offers every meter.
        {true, {ftdi}, several, Bus::NetworkAdapter, "2 gpib.lab:4000 all"},
    };
    for (const auto& c : cases) {
        const ConnectModel model({{}, c.loaded, {}}, c.ports, c.remembered);
        EXPECT_EQ(model.bus, c.bus);
        QString error;
        const auto made = model.connection(&error);
        ASSERT_TRUE(made) << error.toStdString();
        const DriverSpec& d = made->driver;
        EXPECT_EQ(QStringLiteral("%1 %2 %3")
                      .arg(int(d.kind))
                      .arg(d.library + d.simulation + d.adapter)
                      .arg(d.meters.text()),
                  c.made);
    }
    // A built-in port is no adapter to start on: nothing is chosen.
    for (const QList<SerialPortOffer>& ports : {QList{plain}, QList<SerialPortOffer>{}}) {
        EXPECT_EQ(ConnectModel({}, ports, std::nullopt).bus, Bus::None);
    }
    ConnectModel model({}, {}, std::nullopt);
    model.bus = Bus::NetworkAdapter;
    QString error;
    EXPECT_FALSE(model.connection(&error));
    EXPECT_EQ(error, "Enter the adapter's host name or address.");
}

// Cancel writes nothing; a choice whose meter answered is used at the next
// start without asking, with the address it was found at.
TEST(ConnectSession, RemembersTheChoiceOnceTheMeterAnswered)
{
    QTemporaryDir home;
    const QString file = home.filePath(QStringLiteral("Connection.ini"));
    std::ostringstream trace;
    DriverSpec line;
    line.library = QStringLiteral("/nonexistent/libgpib.so"); // no library loads
    int asked = 0;
    const auto pick = [&asked](std::optional<Connection> answer) {
        return [&asked, answer](ConnectModel& model) {
            ++asked;
            EXPECT_FALSE(model.library().loaded);
            return answer;
        };
    };
    bool cancelled = false;
    ConnectSession first(file, "lumodm", trace);
    first.setPortLister([] { return QList<SerialPortOffer>{}; });
    EXPECT_FALSE(first.open(line, false, false, pick(std::nullopt), &cancelled).ok());
    EXPECT_TRUE(cancelled);
    first.remember({{16}, false});
    EXPECT_FALSE(QFile::exists(file));

    Connection sim;
    sim.driver.kind = DriverSpec::Kind::Simulated;
    sim.driver.simulation = QStringLiteral("DM5110@16");
    EXPECT_TRUE(first.open(line, false, false, pick(sim), &cancelled).ok());
    first.remember({{12, 16}, false});
    ConnectSession next(file, "lumodm", trace);
    EXPECT_TRUE(next.open(line, false, false, pick(std::nullopt), &cancelled).ok());
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(asked, 2);
    const auto kept = loadConnection(file);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->driver.simulation + " " + kept->driver.meters.text(), "DM5110@16 12,16");
    // --choose asks even so.
    next.open(line, false, true, pick(std::nullopt), &cancelled);
    EXPECT_EQ(asked, 3);

    // A remembered bus that fails gives way to a library that loads; the
    // chooser comes only when neither opens, and names what failed.
    Connection gone;
    gone.driver.kind = DriverSpec::Kind::Prologix;
    gone.driver.adapter = QStringLiteral("/nonexistent/ttyUSB0");
    saveConnection(file, gone);
    DriverSpec withLibrary = line;
    withLibrary.library = QStringLiteral(LUMODM_FAKE_GPIB_LINUX);
    EXPECT_TRUE(next.open(withLibrary, false, false, pick(std::nullopt), &cancelled).ok());
    EXPECT_EQ(asked, 3);
    QString problem;
    const auto note = [&problem](ConnectModel& model) -> std::optional<Connection> {
        problem = model.problem;
        return std::nullopt;
    };
    next.open(line, false, false, note, &cancelled);
    const QString tryHint = "Choose Simulated meter to try the panel without an instrument.";
    EXPECT_TRUE(problem.contains("/nonexistent/ttyUSB0") && problem.endsWith(tryHint))
        << problem.toStdString();

    // A port chosen that shows no adapter is given a brief probe.
    const int pty = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(pty >= 0 && grantpt(pty) == 0 && unlockpt(pty) == 0);
    next.setPortLister([pty] { return QList<SerialPortOffer>{{ptsname(pty), "", {}}}; });
    const auto quiet = [&problem](ConnectModel& model) {
        problem = model.problem;
        model.bus = Bus::SerialAdapter;
        model.portIndex = 0;
        return problem.isEmpty() ? model.connection(&problem) : std::nullopt;
    };
    next.open(line, false, true, quiet, &cancelled);
    ::close(pty);
    EXPECT_TRUE(problem.contains("did not answer \"++ver\" within 1 s.")) << problem.toStdString();
}

} // namespace
} // namespace lumodm
