#include "tests/log/csv_reader.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

// lumodm-read as a user runs it: the built program on the simulated bus.
namespace lumodm {
namespace {

constexpr int kTimeoutMs = 60000;

const QString kReader = QStringLiteral(LUMODM_READ_PATH); // given by the build

struct ProgramRun
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

class ReaderProgramTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(kReader))
            << "no lumodm-read at '" << kReader.toStdString() << "'";
        ASSERT_TRUE(home.isValid());
    }
    // A private home, so that the test can see the program leaves the
    // stored settings alone.
    void start(QProcess& process, const QStringList& arguments)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        process.setProcessEnvironment(env);
        process.start(kReader, arguments);
        ASSERT_TRUE(process.waitForStarted(kTimeoutMs));
    }
    ProgramRun run(const QStringList& arguments)
    {
        QProcess process;
        start(process, arguments);
        EXPECT_TRUE(process.waitForFinished(kTimeoutMs));
        ProgramRun r;
        r.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        r.out = process.readAllStandardOutput();
        r.err = process.readAllStandardError();
        return r;
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

TEST_F(ReaderProgramTest, EachModelWithFunctionAndRange)
{
    const struct
    {
        const char* sim;
        const char* function;
        const char* range;
        const char* line; // a regular expression
    } cases[] = {
        {"--sim=DM5010", "--function=OHMS", "--range=3", "^ ?-?\\d+\\.\\d{3} kOhm$"},
        {"--sim=DM5010@12", "--function=ACV", "--range=auto", "^ ?-?\\d+\\.\\d+ m?V$"},
        {"--sim=DM5110", "--function=DCA", "--range=3", "^ ?-?\\d+\\.\\d{3} mA$"},
        {"--sim=DM5120", "--function=DCV", "--range=2", "^ ?-?\\d\\.\\d{6} V$"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.sim) + " " + c.function + " " + c.range);
        const ProgramRun r = run({QString::fromLatin1(c.sim), QString::fromLatin1(c.function),
                                  QString::fromLatin1(c.range), QStringLiteral("--count=2"),
                                  QStringLiteral("--interval=0")});
        EXPECT_EQ(r.status, 0) << r.err.constData();
        const QStringList lines = QString::fromUtf8(r.out).split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 2) << r.out.constData();
        for (const QString& line : lines) {
            EXPECT_TRUE(QRegularExpression(QString::fromUtf8(c.line)).match(line).hasMatch())
                << line.toStdString();
        }
        EXPECT_TRUE(r.err.isEmpty()) << r.err.constData();
    }
    // The panel's stored settings were neither read into nor written.
    EXPECT_TRUE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(ReaderProgramTest, ExitStatuses)
{
    const struct
    {
        QStringList arguments;
        int status;
        const char* text; // in standard output after status 0, else in standard error
    } cases[] = {
        {{"--help"}, 0, "^Usage: lumodm-read \\[OPTION\\]\\.\\.\\.\nlumodm-read takes readings"},
        {{"--sim", "--count=x"}, 2, "--count"},
        {{"--sim", "--function=VOLTS"}, 2, "has no function VOLTS \\(it has DCV, "},
        // A message keeps its lines; the hint names this program.
        {{"--gpib-library=/nonexistent/libgpib.so"},
         1,
         "loaded\\.\n  Tried:\n  /nonexistent/libgpib\\.so[\\s\\S]*: lumodm-read --sim\\.\n$"},
        {{"--sim", "--log=" + home.filePath(QStringLiteral("missing/r.csv"))},
         3,
         "^Log Error: Cannot open the reading log\n  .*missing/r\\.csv\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ProgramRun r = run(c.arguments);
        EXPECT_EQ(r.status, c.status) << r.err.constData();
        EXPECT_TRUE((c.status == 0 ? r.err : r.out).isEmpty()) << r.out.constData();
        const QString text = QString::fromUtf8(c.status == 0 ? r.out : r.err);
        EXPECT_TRUE(QRegularExpression(QString::fromUtf8(c.text)).match(text).hasMatch())
            << text.toStdString();
    }
}

TEST_F(ReaderProgramTest, CtrlCEndsAfterTheCurrentReading)
{
    QProcess process;
    start(process,
          {QStringLiteral("--sim"), QStringLiteral("--count=0"), QStringLiteral("--interval=30")});
    QByteArray out;
    ASSERT_TRUE(waitForLines(process, out, 1));
    // Well inside the 30 s wait: the interrupt must end it at once.
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    out += process.readAllStandardOutput();
    EXPECT_EQ(out.count('\n'), 1);
}

// A night-long log killed at any moment: every row that was written
// parses, at most the last is cut short, and the next run carries on
// after it without losing the header or mixing rows.
TEST_F(ReaderProgramTest, LogSurvivesKillingTheProgram)
{
    const QString log = home.filePath(QStringLiteral("night.csv"));
    const QStringList logging = {QStringLiteral("--sim=DM5110"), QStringLiteral("--count=0"),
                                 QStringLiteral("--interval=0"), QStringLiteral("--csv"),
                                 QStringLiteral("--log=") + log};
    int printed = 0;
    // Killed before the first reading, then after one, two and three.
    for (int rows = 0; rows <= 3; ++rows) {
        QProcess process;
        start(process, logging);
        QByteArray out;
        ASSERT_TRUE(waitForLines(process, out, rows + 1)); // the header first
        process.kill();
        ASSERT_TRUE(process.waitForFinished(kTimeoutMs));
        printed += rows;
    }
    // A crash in the middle of a row, inside its quoted readout.
    {
        QFile f(log);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("2024-03-09T01:07:05.042+01:00,DM5110,DCV,2,1.5,V,\" 1.5");
    }
    const ProgramRun last = run({QStringLiteral("--sim=DM5110"), QStringLiteral("--log=") + log});
    EXPECT_EQ(last.status, 0) << last.err.constData();

    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const testing::CsvTable table = testing::readCsv(file.readAll());
    EXPECT_TRUE(table.wellFormed);
    EXPECT_TRUE(table.lastRowComplete);
    ASSERT_GE(table.rows.size(), 1 + printed + 2);
    EXPECT_EQ(table.rows[0].join(','),
              QStringLiteral("time,model,function,range,value,unit,readout,raw"));
    // One header; every row whole and from the meter, but the one cut by hand.
    for (int i = 1; i < table.rows.size(); ++i) {
        if (i != table.rows.size() - 2) {
            EXPECT_EQ(table.rows[i].size(), 8) << i;
            EXPECT_EQ(table.rows[i].value(1), QStringLiteral("DM5110")) << i;
        }
    }
    EXPECT_EQ(table.rows.back().value(2), QStringLiteral("DCV"));
    EXPECT_EQ(table.rows.back().value(1), QStringLiteral("DM5110"));
}

} // namespace
} // namespace lumodm
