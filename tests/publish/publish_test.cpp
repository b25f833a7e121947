#include "app/command_line.h"
#include "publish/reading_publisher.h"

#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <condition_variable>
#include <csignal>
#include <gtest/gtest.h>
#include <mosquitto.h>
#include <mutex>
#include <numeric>
#include <pwd.h>
#include <set>
#include <unistd.h>

// Publishing against a real broker that each test starts on a free
// loopback port with its own configuration, taking only the user "bench"
// with its password; a libmosquitto subscriber with a persistent session
// collects what arrives.
namespace lumodm {
namespace {

const char* const kBroker = "/usr/sbin/mosquitto";
const char* const kPassword = "s3cret-pw";

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

class PublishTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (!QFile::exists(kBroker)) {
            GTEST_SKIP() << kBroker << " is missing: install the mosquitto package";
        }
        qputenv("TZ", "UTC");
        port = freePort();
        ASSERT_EQ(QProcess::execute("mosquitto_passwd",
                                    {"-b", "-c", dir.filePath("passwd"), "bench", kPassword}),
                  0);
        QFile conf(dir.filePath("broker.conf"));
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
        const passwd* me = getpwuid(geteuid());
        // Persistence keeps the subscriber's session across a restart. Run
        // as root, the broker would become user "mosquitto", which cannot
        // write this private directory: it keeps the user it is started as.
        conf.write(QStringLiteral("listener %1 127.0.0.1\nallow_anonymous false\n"
                                  "password_file %2/passwd\npersistence true\n"
                                  "persistence_location %2/\nuser %3\n")
                       .arg(port)
                       .arg(dir.path())
                       .arg(QString::fromLocal8Bit(me != nullptr ? me->pw_name : "root"))
                       .toUtf8() +
                   moreConfig());
        conf.close();
        startBroker();
        mosquitto_lib_init();
        sub = mosquitto_new("subscriber", false, this);
        mosquitto_username_pw_set(sub, "bench", kPassword);
        mosquitto_connect_callback_set(
            sub, [](mosquitto* m, void*, int) { mosquitto_subscribe(m, nullptr, "lab/#", 1); });
        mosquitto_subscribe_callback_set(sub, [](mosquitto*, void* self, int, int, const int*) {
            static_cast<PublishTest*>(self)->add("subscribed", {});
        });
        mosquitto_message_callback_set(sub, [](mosquitto*, void* self, const mosquitto_message* m) {
            static_cast<PublishTest*>(self)->add(
                m->topic, QByteArray(static_cast<const char*>(m->payload), m->payloadlen));
        });
        ASSERT_EQ(mosquitto_connect(sub, "127.0.0.1", port, 30), MOSQ_ERR_SUCCESS);
        mosquitto_loop_start(sub);
        ASSERT_TRUE(waitFor("subscribed", 1));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LUMODM_MQTT_PASSWORD", kPassword);
        reader.setProcessEnvironment(env);
    }
    void TearDown() override
    {
        if (broker.processId() > 0) {
            ::kill(broker.processId(), SIGCONT); // after a test that stalls it
        }
        if (sub != nullptr) {
            mosquitto_disconnect(sub), mosquitto_loop_stop(sub, false), mosquitto_destroy(sub);
        }
        broker.terminate();
        broker.waitForFinished();
    }
    // More for the broker's configuration, made in `dir`.
    virtual QByteArray moreConfig() { return {}; }
    void startBroker()
    {
        broker.start(kBroker, {"-c", dir.filePath("broker.conf")});
        ASSERT_TRUE(broker.waitForStarted());
        for (int tries = 0; tries < 300; ++tries) { // until it listens
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, port);
            if (probe.waitForConnected(100)) {
                return;
            }
            broker.waitForFinished(10);
        }
        FAIL() << "the broker does not listen";
    }
    void add(const QString& topic, const QByteArray& payload)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        got[topic].push_back(payload);
        arrived.notify_all();
    }
    // Until `count` different messages have come on `topic` (QoS 1 may
    // bring one twice).
    bool waitFor(const QString& topic, std::size_t count)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return arrived.wait_for(lock, std::chrono::seconds(60), [&] {
            const std::vector<QByteArray>& all = got[topic];
            return std::set<QByteArray>(all.begin(), all.end()).size() >= count;
        });
    }
    std::vector<QByteArray> on(const QString& topic)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return got[topic];
    }
    // The seqs that came on `topic`, in order.
    std::vector<int> seqs(const QString& topic)
    {
        std::vector<int> seen;
        for (const QByteArray& m : on(topic)) {
            seen.push_back(m.mid(m.indexOf("\"seq\":") + 6).split(',').at(0).toInt());
        }
        return seen;
    }
    // lumodm-read's exit status, -1 if it does not end.
    int read(const QStringList& arguments)
    {
        reader.start(LUMODM_READ_PATH, arguments);
        return reader.waitForFinished(60000) ? reader.exitCode() : -1;
    }
    PublishOptions options(const QString& url)
    {
        return parseCommandLine(Program::Reader, {"--publish=" + url.arg(port)}).options.publish;
    }

    QTemporaryDir dir;
    QProcess broker;
    QProcess reader; // lumodm-read, the password in its environment
    quint16 port = 0;
    mosquitto* sub = nullptr;
    std::mutex mutex;
    std::condition_variable arrived;
    std::map<QString, std::vector<QByteArray>> got;
};

Reading reading(Reading::Kind kind, double value)
{
    Reading r;
    r.kind = kind;
    r.functionCode = "DCV";
    r.rangeSetting = 0;
    r.value = value;
    r.valueInBase = value / 1000;
    r.unit = "mV";
    r.baseUnit = "V";
    r.readoutText = "\"12.5\"";
    r.rawAnswer = "DCV +12.5E-3\x1b";
    r.time = std::chrono::system_clock::time_point(std::chrono::milliseconds(1700000000123));
    return r;
}

TEST_F(PublishTest, MessagesArriveInOrderWithEveryFieldAndTheStatus)
{
    ReadingPublisher publisher(options("mqtt://bench@127.0.0.1:%1/lab"), kPassword,
                               [&](const QString& text) { add("told", text.toUtf8()); });
    publisher.start({"DM5120", 16});
    for (int i = 0; i < 50; ++i) {
        publisher.readingTaken(reading(i == 1 ? Reading::Kind::Overflow : Reading::Kind::Value, i));
    }
    ASSERT_TRUE(waitFor("lab/DM5120", 50));
    EXPECT_TRUE(publisher.finish(std::chrono::seconds(10)));
    ASSERT_TRUE(waitFor("lab/DM5120/status", 2));
    const auto messages = on("lab/DM5120");
    std::vector<int> inOrder(50);
    std::iota(inOrder.begin(), inOrder.end(), 1);
    EXPECT_EQ(seqs("lab/DM5120"), inOrder);
    EXPECT_EQ(messages[0], "{\"time\":\"2023-11-14T22:13:20.123+00:00\",\"seq\":1,"
                           "\"model\":\"DM5120\",\"address\":16,\"function\":\"DCV\",\"range\":0,"
                           "\"value\":0,\"value_si\":0,\"unit_si\":\"V\",\"unit\":\"mV\","
                           "\"readout\":\"\\\"12.5\\\"\",\"raw\":\"DCV +12.5E-3\\u001b\","
                           "\"kind\":\"value\"}");
    EXPECT_TRUE(messages[1].contains("\"value\":null,\"value_si\":null,") &&
                messages[1].endsWith("\"kind\":\"overflow\"}"));
    EXPECT_EQ(on("lab/DM5120/status"), (std::vector<QByteArray>{"online", "offline"}));
    EXPECT_TRUE(on("told").empty()); // a sound link is not worth a word
}

TEST_F(PublishTest, ABrokerStoppedAndStartedLosesNoReading)
{
    ReadingPublisher publisher(options("mqtt://bench@127.0.0.1:%1/lab"), kPassword, {});
    publisher.start({"DM5010", 16});
    for (int i = 0; i < 300; ++i) { // the second hundred while the broker is away
        publisher.readingTaken(reading(Reading::Kind::Value, 1));
        if (i == 99) {
            ASSERT_TRUE(waitFor("lab/DM5010", 100));
            broker.terminate();
            ASSERT_TRUE(broker.waitForFinished());
        } else if (i == 199) {
            startBroker();
        }
    }
    ASSERT_TRUE(waitFor("lab/DM5010", 300));
    const std::vector<int> all = seqs("lab/DM5010"); // QoS 1: some may come twice
    const std::set<int> seen(all.begin(), all.end());
    EXPECT_EQ(seen.size(), 300U);
    EXPECT_EQ(*seen.rbegin(), 300);
}

TEST_F(PublishTest, AnUnreachableBrokerNeitherHoldsTheReadingsNorTellsTwice)
{
    broker.terminate();
    ASSERT_TRUE(broker.waitForFinished());
    ReadingPublisher publisher(options("mqtt://[::1]:%1/lab"), {},
                               [&](const QString& text) { add("told", text.toUtf8()); });
    publisher.start({"DM5010", 16});
    // Every call returns at once: the queue takes them, the oldest go.
    for (std::size_t i = 0; i < ReadingPublisher::kQueueLimit + 7; ++i) {
        publisher.readingTaken(reading(Reading::Kind::Value, 1));
    }
    EXPECT_EQ(publisher.waiting(), ReadingPublisher::kQueueLimit);
    EXPECT_EQ(publisher.dropped(), 7);
    EXPECT_FALSE(publisher.finish(std::chrono::milliseconds(0)));
    const auto told = on("told");
    ASSERT_EQ(told.size(), 2U);
    EXPECT_TRUE(told[0].contains("oldest are dropped") != told[1].contains("oldest are dropped"));
    EXPECT_TRUE(told[0].contains(QStringLiteral("mqtt://[::1]:%1").arg(port).toUtf8()));
}

// A broker that holds the link but acknowledges nothing (stopped): the
// readings it did not confirm are counted at the end.
TEST_F(PublishTest, AStalledBrokerLeavesReadingsUnconfirmedAndTheEndCountsThem)
{
    ReadingPublisher publisher(options("mqtt://bench@127.0.0.1:%1/lab"), kPassword,
                               [&](const QString& text) { add("told", text.toUtf8()); });
    publisher.start({"DM5010", 16});
    for (int i = 0; i < 8; ++i) {
        publisher.readingTaken(reading(Reading::Kind::Value, 1));
        if (i == 4) {
            ASSERT_TRUE(waitFor("lab/DM5010", 5));
            // Back through the broker after it acknowledged all five.
            mosquitto_publish(sub, nullptr, "lab/mark", 1, "m", 1, false);
            ASSERT_TRUE(waitFor("lab/mark", 1));
            ::kill(broker.processId(), SIGSTOP);
        }
    }
    EXPECT_FALSE(publisher.finish(std::chrono::milliseconds(200)));
    EXPECT_EQ(on("told"),
              std::vector<QByteArray>{
                  QStringLiteral("The broker mqtt://127.0.0.1:%1 did not confirm 3 of 8 readings: "
                                 "they may be lost.")
                      .arg(port)
                      .toUtf8()});
}

// lumodm-read with a user and a password from the environment, which the
// broker requires: the password shows in neither the arguments nor the
// trace. Killed, a reader leaves its last will.
TEST_F(PublishTest, ThePasswordStaysHiddenAndAKilledReaderLeavesItsWill)
{
    EXPECT_EQ(read({"--sim", "--trace", "--count=3", "--interval=0",
                    QStringLiteral("--publish=mqtt://bench@127.0.0.1:%1/lab").arg(port)}),
              0);
    EXPECT_FALSE(reader.readAllStandardError().contains(kPassword));
    ASSERT_TRUE(waitFor("lab/DM5010", 3));
    EXPECT_TRUE(on("lab/DM5010")[2].contains("\"seq\":3,\"model\":\"DM5010\",\"address\":16,"));
    // Without a broker: the readings go on, one line says why, status 3.
    EXPECT_EQ(read({"--sim", "--count=2", "--publish=mqtt://127.0.0.1:1/lab"}), 3);
    EXPECT_EQ(reader.readAllStandardOutput().count('\n'), 2);
    EXPECT_EQ(reader.readAllStandardError().count('\n'), 1);

    reader.start(LUMODM_READ_PATH,
                 {"--sim", "--count=0", "--interval=0",
                  QStringLiteral("--publish=mqtt://bench@127.0.0.1:%1/lab/gone").arg(port)});
    ASSERT_TRUE(waitFor("lab/gone/DM5010", 1));
    reader.kill();
    reader.waitForFinished();
    ASSERT_TRUE(waitFor("lab/gone/DM5010/status", 2));
    EXPECT_EQ(on("lab/gone/DM5010/status"), (std::vector<QByteArray>{"online", "offline"}));
}

// Besides, a TLS listener whose certificate comes from an authority the
// test makes, and a second authority that vouches for nothing here.
class PublishTlsTest : public PublishTest
{
  protected:
    QByteArray moreConfig() override
    {
        tlsPort = freePort();
        const auto make = [this](const QString& name, const QStringList& more) {
            return QProcess::execute("openssl",
                                     QStringList{"req", "-x509", "-newkey", "ec", "-pkeyopt",
                                                 "ec_paramgen_curve:P-256", "-nodes", "-days", "1",
                                                 "-subj", "/CN=" + name, "-keyout",
                                                 dir.filePath(name + ".key"), "-out",
                                                 dir.filePath(name + ".pem")} +
                                         more) == 0;
        };
        const bool made =
            make("ca", {}) && make("other", {}) &&
            make("server", {"-CA", dir.filePath("ca.pem"), "-CAkey", dir.filePath("ca.key"),
                            "-addext", "subjectAltName=IP:127.0.0.1"});
        EXPECT_TRUE(made) << "openssl cannot make the certificates";
        return QStringLiteral("listener %1 127.0.0.1\ncafile %2/ca.pem\ncertfile %2/server.pem\n"
                              "keyfile %2/server.key\n")
            .arg(tlsPort)
            .arg(dir.path())
            .toUtf8();
    }
    quint16 tlsPort = 0;
};

TEST_F(PublishTlsTest, MqttsTrustsTheGivenAuthorityAndRefusesAnother)
{
    for (const QString ca : {"ca", "other"}) {
        EXPECT_EQ(
            read(
                {"--sim", "--count=1",
                 QStringLiteral("--publish=mqtts://bench@127.0.0.1:%1/lab/%2").arg(tlsPort).arg(ca),
                 "--publish-ca=" + dir.filePath(ca + ".pem")}),
            ca == "ca" ? 0 : 3);
    }
    EXPECT_TRUE(waitFor("lab/ca/DM5010", 1));
    EXPECT_TRUE(on("lab/other/DM5010").empty());
}

TEST(PublishOptionsTest, AddressesAndTheirErrors)
{
    QTemporaryDir dir;
    const QString ca = dir.filePath("ca.pem");
    QFile(ca).open(QIODevice::WriteOnly);
    // tls user host port topic, or "! " and the error's start
    const std::pair<QStringList, const char*> cases[] = {
        {{"--publish=mqtt://broker/lab"}, "0  broker 1883 lab"},
        {{"--publish=mqtts://ann@[::1]:9000/lab/bench3"}, "1 ann ::1 9000 lab/bench3"},
        {{"--publish=mqtts://h/t", "--publish-ca=" + ca}, "1  h 8883 t"},
        {{"--publish=http://h/t"}, "! --publish: the address starts with mqtt://"},
        {{"--publish=mqtt://ann:pw@h/t"}, "! --publish: no password in the address"},
        {{"--publish=mqtt://h:0/t"}, "! --publish: the port takes 1 to 65535, not '0'"},
        {{"--publish=mqtt://h/"}, "! --publish: the address ends with /TOPIC"},
        {{"--publish=mqtt://h/lab/#"}, "! --publish: the topic 'lab/#' holds a wildcard"},
        {{"--publish=mqtt://h/t", "--publish-ca=ca.pem"}, "! --publish-ca goes with an mqtts://"},
        {{"--publish-password-file=/nonexistent"}, "! --publish-password-file: cannot read"},
    };
    for (const auto& [arguments, expected] : cases) {
        const CommandLineParse parse = parseCommandLine(Program::Panel, arguments);
        const PublishTarget& t = parse.options.publish.target;
        const QStringList fields{QString::number(t.tls), t.user, t.host, QString::number(t.port),
                                 t.topic};
        const QString got = parse.ok() ? fields.join(' ') : "! " + parse.error;
        EXPECT_TRUE(got.startsWith(expected)) << got.toStdString();
    }
}

} // namespace
} // namespace lumodm
