#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

// lumodm-read as a process: what only a process shows (exit statuses,
// standard output against standard error, Ctrl-C, a kill mid-write).
namespace lumodm {
namespace {

constexpr int kTimeoutMs = 60000;

class ReaderProgramTest : public ::testing::Test
{
  protected:
    // A private home, so that the test can see the program leaves the
    // stored settings alone.
    void start(QProcess& process, const QStringList& arguments)
    {
        ASSERT_TRUE(home.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(LUMODM_READ_PATH), arguments); // given by the build
        ASSERT_TRUE(process.waitForStarted(kTimeoutMs));
    }
    // Waits until the program has printed `rows` lines.
    static bool waitForLines(QProcess& process, QByteArray& out, int rows)
    {
        while (out.count('\n') < rows) {
            if (!process.waitForReadyRead(kTimeoutMs)) {
                return false;
            }
            out += process.readAllStandardOutput();
        }
        return true;
    }

    QTemporaryDir home;
};

TEST_F(ReaderProgramTest, ExitStatusesAndWhereTheTextGoes)
{
    const struct
    {
        QStringList arguments;
        int status;
        const char* out; // regular expressions
        const char* err;
    } cases[] = {
        {{"--help"},
         0,
         "^Usage: lumodm-read \\[OPTION\\]\\.\\.\\.\nlumodm-read takes readings",
         "^$"},
        {{"--sim=DM5120", "--function=OHMS", "--range=auto", "--count=2", "--interval=0"},
         0,
         "^( \\d\\.\\d{6} kOhm\n){2}$",
         "^$"},
        {{"--sim", "--count=x"}, 2, "^$", "--count"},
        {{"--sim", "--function=VOLTS"}, 2, "^$", "^lumodm-read: the DM5010 has no function VOLTS"},
        // A message keeps its lines; the hint names this program.
        {{"--gpib-library=/nonexistent/libgpib.so"},
         1,
         "^$",
         "loaded\\.\n  Tried:\n  /nonexistent/libgpib\\.so[\\s\\S]*: lumodm-read --sim\\.\n$"},
        {{"--sim", "--log=" + home.filePath(QStringLiteral("missing/r.csv"))},
         3,
         "^$",
         "^Log Error: Cannot open the reading log\n  .*missing/r\\.csv\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QProcess process;
        start(process, c.arguments);
        ASSERT_TRUE(process.waitForFinished(kTimeoutMs));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), c.status);
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        const QString err = QString::fromUtf8(process.readAllStandardError());
        EXPECT_TRUE(QRegularExpression(QString::fromUtf8(c.out)).match(out).hasMatch())
            << out.toStdString();
        EXPECT_TRUE(QRegularExpression(QString::fromUtf8(c.err)).match(err).hasMatch())
            << err.toStdString();
    }
    // The panel's stored settings were neither read into nor written.
    EXPECT_TRUE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

// A night-long log: Ctrl-C inside the wait ends the program at once after
// the reading it took; a kill at any moment leaves every row written whole,
// and the next run carries on after it without a second header.
TEST_F(ReaderProgramTest, LogThroughCtrlCAndKills)
{
    const QString log = home.filePath(QStringLiteral("night.csv"));
    int printed = 0;
    // Killed before the first reading, then after one (by Ctrl-C), two and three.
    for (int rows = 0; rows <= 3; ++rows) {
        QProcess process;
        start(process,
              {QStringLiteral("--sim=DM5110"), QStringLiteral("--count=0"),
               rows == 1 ? QStringLiteral("--interval=30") : QStringLiteral("--interval=0"),
               QStringLiteral("--csv"), QStringLiteral("--log=") + log});
        QByteArray out;
        ASSERT_TRUE(waitForLines(process, out, rows + 1)); // the header first
        if (rows == 1) {
            ::kill(static_cast<pid_t>(process.processId()), SIGINT);
        } else {
            process.kill();
        }
        ASSERT_TRUE(process.waitForFinished(rows == 1 ? 10000 : kTimeoutMs));
        if (rows == 1) {
            EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(process.exitCode(), 0);
            EXPECT_EQ((out + process.readAllStandardOutput()).count('\n'), 2);
        }
        printed += rows;
    }
    // A crash in the middle of a row, inside its quoted readout.
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("2024-03-09T01:07:05.042+01:00,DM5110,DCV,2,1.5,V,\" 1.5");
    file.close();
    QProcess last;
    start(last, {QStringLiteral("--sim=DM5110"), QStringLiteral("--log=") + log});
    ASSERT_TRUE(last.waitForFinished(kTimeoutMs));
    EXPECT_EQ(last.exitCode(), 0);

    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QList<QByteArray> rows = file.readAll().split('\n');
    EXPECT_EQ(rows.takeFirst(), QByteArray("time,model,function,range,value,unit,readout,raw\r"));
    EXPECT_EQ(rows.takeLast(), QByteArray()); // the last row ended
    EXPECT_EQ(rows.size(), printed + 2);
    const QRegularExpression row(
        QStringLiteral("^[-+:.T\\d]+,DM5110,DCV,\\d,[-.\\d]+,m?V,\"[- .\\d]+\"(,[^,\"]+)?\r$"));
    for (const QByteArray& r : rows) {
        EXPECT_TRUE(row.match(QString::fromUtf8(r)).hasMatch()) << r.constData();
    }
}

} // namespace
} // namespace lumodm
