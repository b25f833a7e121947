#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <iterator>

// lumodm-read as a process: what only a process shows (exit statuses,
// standard output against standard error, Ctrl-C, a kill between rows, the
// search for a GPIB library).
namespace lumodm {
namespace {

constexpr int kTimeoutMs = 60000;

class ReaderProgramTest : public ::testing::Test
{
  protected:
    // Where shared libraries are looked for first: files that are no
    // libraries under the usual GPIB libraries' names.
    void SetUp() override
    {
        for (const char* name : {"libgpib.so.0", "libni4882.so", "libgpibapi.so"}) {
            QFile file(libraries.filePath(QLatin1String(name)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("no library") > 0);
        }
    }
    // A private home, so that the test can see the program leaves the
    // stored settings alone.
    void start(QProcess& process, const QStringList& arguments)
    {
        ASSERT_TRUE(home.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        const QString found = env.value(QStringLiteral("LD_LIBRARY_PATH"));
        env.insert(QStringLiteral("LD_LIBRARY_PATH"),
                   libraries.path() + (found.isEmpty() ? QString() : QLatin1Char(':') + found));
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
    QTemporaryDir libraries;
};

TEST_F(ReaderProgramTest, ExitStatusesAndWhereTheTextGoes)
{
    const struct
    {
        QStringList arguments;
        int status;
        const char* text; // in standard output after status 0 (error empty), else in standard error
    } cases[] = {
        {{"--help"}, 0, "^Usage: lumodm-read \\[OPTION\\]\\.\\.\\.\nlumodm-read takes readings"},
        {{"--sim=DM5120", "--function=OHMS", "--range=auto", "--count=2", "--interval=0"},
         0,
         "^( \\d\\.\\d{6} kOhm\n){2}$"},
        {{"--sim", "--function=OHMS", "--range=3"}, 0, "^ \\d\\.\\d{3} kOhm\n$"},
        // Only the meter at --address is looked for: the DM5120, or none.
        {{"--sim=DM5010@5,DM5120@9", "--address=9", "--function=OHMS"},
         0,
         "^ \\d\\.\\d{6} kOhm\n$"},
        {{"--sim=DM5010@5", "--address=9"}, 1, "^Error: No supported Digital Multimeter"},
        {{"--sim", "--function=VOLTS", "--stats"},
         2,
         "^lumodm-read: the DM5010 has no function VOLTS[^\\n]*\n$"},
        {{"--sim", "--function=DCV", "--range=6"},
         2,
         "^lumodm-read: DCV on the DM5010 has ranges 1 to 5 and auto\n$"},
        {{"--sim=DM5010,fault=absent"}, 1, "^Error: No supported Digital Multimeter"},
        // A message keeps its lines; the hint names this program.
        {{"--gpib-library=/nonexistent/libgpib.so"},
         1,
         "loaded\\.\n  Tried:\n  /nonexistent/libgpib\\.so[\\s\\S]*: lumodm-read --sim\\.\n$"},
        // Without a library named, the usual ones in their order, the system's way.
        {{},
         1,
         "Tried:\n  libgpib\\.so\\.0: /.*/libgpib\\.so\\.0: .*\n  libni4882\\.so: "
         "/.*/libni4882\\.so: .*\n  libgpibapi\\.so: /.*/libgpibapi\\.so: .*\n  Install"},
        {{"--sim", "--log=" + home.filePath(QStringLiteral("missing/r.csv"))},
         3,
         "^Log Error: Cannot open the reading log\n  .*missing/r\\.csv\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QProcess process;
        start(process, c.arguments);
        ASSERT_TRUE(process.waitForFinished(kTimeoutMs));
        EXPECT_EQ(process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, c.status);
        const QByteArray out = process.readAllStandardOutput();
        const QByteArray err = process.readAllStandardError();
        EXPECT_TRUE((c.status == 0 ? err : out).isEmpty()) << out.constData() << err.constData();
        const QString text = QString::fromUtf8(c.status == 0 ? out : err);
        EXPECT_TRUE(QRegularExpression(c.text).match(text).hasMatch()) << text.toStdString();
    }
    // The panel's stored settings were neither read into nor written.
    EXPECT_TRUE(QDir(home.path()).isEmpty());
}

// Ctrl-C inside the wait ends the program at once, after the reading it
// took; the log holds what standard output showed, the statistics agree.
TEST_F(ReaderProgramTest, CtrlCEndsAfterTheCurrentReading)
{
    const QString log = home.filePath(QStringLiteral("night.csv"));
    QProcess process;
    start(process, {QStringLiteral("--sim=DM5110"), QStringLiteral("--count=0"),
                    QStringLiteral("--interval=30"), QStringLiteral("--csv"),
                    QStringLiteral("--stats"), QStringLiteral("--log=") + log});
    QByteArray out;
    ASSERT_TRUE(waitForLines(process, out, 2)); // the header and a reading
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, 0);
    out += process.readAllStandardOutput();
    EXPECT_EQ(out.count('\n'), 2);
    EXPECT_TRUE(out.contains(",DM5110,DCV,")) << out.constData();
    const QList<QByteArray> row = out.split('\n').value(1).split(','); // value, then unit: V
    EXPECT_EQ(process.readAllStandardError(),
              "statistics: n=1 mean=" + row.value(4) + " std=- min=" + row.value(4) +
                  " max=" + row.value(4) + " pp=0 unit=" + row.value(5) + " adev1=-\n");
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), out);
}

// A log named by the second: a run of over two seconds spreads its rows
// over several files, each with the header, none lost or doubled.
TEST_F(ReaderProgramTest, ALogNamedByTimeGoesOnInTheNextFile)
{
    QProcess process;
    start(process, {QStringLiteral("--sim"), QStringLiteral("--count=8"),
                    QStringLiteral("--interval=0"), QStringLiteral("--csv"),
                    QStringLiteral("--log=") + home.filePath(QStringLiteral("r-%S.csv"))});
    ASSERT_TRUE(process.waitForFinished(kTimeoutMs));
    QList<QByteArray> shown = process.readAllStandardOutput().split('\n');
    const QByteArray header = shown.takeFirst();
    QList<QByteArray> logged;
    const QStringList files = QDir(home.path()).entryList({QStringLiteral("r-*.csv")});
    EXPECT_GE(files.size(), 2); // eight readings take 2.4 s at least
    for (const QString& name : files) {
        QFile file(home.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QList<QByteArray> rows = file.readAll().split('\n');
        EXPECT_EQ(rows.takeFirst(), header) << name.toStdString();
        logged += rows;
    }
    for (QList<QByteArray>* rows : {&shown, &logged}) {
        rows->removeAll(QByteArray());
        std::sort(rows->begin(), rows->end());
    }
    EXPECT_EQ(logged.join('\n').toStdString(), shown.join('\n').toStdString());
}

// SIGKILL at several moments of a stream with no interval: the log holds
// every row that standard output showed, at most one row more, and ends on
// a whole row.
TEST_F(ReaderProgramTest, AKillLosesNoRowAndCutsNone)
{
    const int rows[] = {1, 10, 30}; // readings before the kill
    QProcess processes[std::size(rows)];
    for (std::size_t i = 0; i < std::size(rows); ++i) { // side by side: one wait for all
        start(processes[i], {QStringLiteral("--sim=DM5110"), QStringLiteral("--count=0"),
                             QStringLiteral("--interval=0"), QStringLiteral("--csv"),
                             QStringLiteral("--log=") + home.filePath(QString::number(i))});
    }
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i]);
        QByteArray out;
        ASSERT_TRUE(waitForLines(processes[i], out, 1 + rows[i]));
        ::kill(static_cast<pid_t>(processes[i].processId()), SIGKILL);
        ASSERT_TRUE(processes[i].waitForFinished(kTimeoutMs));
        out += processes[i].readAllStandardOutput();
        QFile file(home.filePath(QString::number(i)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray log = file.readAll();
        EXPECT_TRUE(log.startsWith(out)) << log.size() << " bytes against " << out.size();
        EXPECT_LE(log.count('\n'), out.count('\n') + 1);
        EXPECT_TRUE(log.endsWith('\n'));
        for (const QByteArray& line : log.trimmed().split('\n')) {
            // The header's nine fields (a quoted field may hold commas).
            EXPECT_EQ(QString::fromLatin1(line).remove(QRegularExpression("\"[^\"]*\"")).count(','),
                      8)
                << line.constData();
        }
    }
}

} // namespace
} // namespace lumodm
