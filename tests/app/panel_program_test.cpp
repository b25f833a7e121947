#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <tuple>

// lumodm as a user starts it, with no display: what it answers before any
// window, what Qt's own options leave, and the log it opens.
namespace lumodm {
namespace {

TEST(PanelProgram, AnswersItsCommandLine)
{
    QTemporaryDir home;
    const QString log = home.filePath(QStringLiteral("r.csv"));
    const std::tuple<QStringList, int, const char*> cases[] = {
        {{"--help"}, 0, "^Usage: lumodm \\[OPTION\\]\\.\\.\\.\nFront panel"},
        {{"--sim", "--bogus"}, 2, "^lumodm: unknown option '--bogus'\nTry 'lumodm --help'"},
        {{"-platform", "offscreen", "--sim", "--quit-when-up", "--log=" + log},
         0,
         "lumodm: panel up \\d+ ms after start\n$"},
        // The readings window, from its module beside the program.
        {{"-platform", "offscreen", "--sim", "--readings", "--quit-when-up"}, 0, "panel up"},
        // No bus option: the remembered one, not the GPIB library.
        {{"-platform", "offscreen", "--quit-when-up"}, 0, "lumodm: panel up \\d+ ms"},
    };
    QDir(home.path()).mkpath(QStringLiteral(".config/LumoDM"));
    QFile remembered(home.filePath(QStringLiteral(".config/LumoDM/Connection.ini")));
    ASSERT_TRUE(remembered.open(QIODevice::WriteOnly));
    remembered.write("[Connection]\nBus=sim\nTarget=DM5120@7\nAddress=7\n");
    remembered.close();
    for (const auto& [arguments, status, text] : cases) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral(LUMODM_PATH), arguments);
        ASSERT_TRUE(process.waitForFinished(60000));
        const QString output = QString::fromUtf8(process.readAll());
        EXPECT_EQ(process.exitCode(), status) << output.toStdString();
        EXPECT_TRUE(QRegularExpression(text).match(output).hasMatch()) << output.toStdString();
    }
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("time,model,"));
}

// A user's --trace shows the start-up as the meter sees it: the calls of
// the identification and the read-back, and not one more.
TEST(PanelProgram, TracesTheStartUpCallsInOrder)
{
    QTemporaryDir home;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.remove(QStringLiteral("XDG_CONFIG_HOME"));
    process.setProcessEnvironment(env);
    // Not a hidden mode: the panel as a user runs it, until its first
    // read-back is done.
    process.setReadChannel(QProcess::StandardError);
    process.start(QStringLiteral(LUMODM_PATH), {"-platform", "offscreen", "--sim", "--trace"});
    QString trace;
    while (!trace.contains(QStringLiteral("\"CALC OFF\\r\\n\""))) {
        ASSERT_TRUE(process.waitForReadyRead(60000)) << trace.toStdString();
        trace += QString::fromUtf8(process.readAllStandardError());
    }
    process.kill();
    process.waitForFinished(60000);
    QStringList calls;
    const QRegularExpression call(QStringLiteral("^gpib: (\\w+)\\((?:ud \\d+, \"([^\"]*))?"));
    for (const QString& line : trace.split('\n')) {
        const QRegularExpressionMatch m = call.match(line);
        if (m.hasMatch()) {
            calls << m.captured(1) + (m.captured(2).isEmpty() ? "" : ":" + m.captured(2));
        }
    }
    const char* query = "ibask ibwait ibrd ibtmo";
    EXPECT_TRUE(QStringLiteral("RegisterGpibGlobalsForThread SendIFC ibsre SendIFC ibsre FindLstn "
                               "ibdev ibpad ibclr ibrsp ibwrt:ID? ibrd ibtmo ibwrt:ID? %1 "
                               "ibwrt:FUNCT? %1 ibwrt:CALC? %1")
                    .arg(query)
                    .startsWith(calls.join(' ')))
        << calls.join(' ').toStdString();
    EXPECT_TRUE(calls.join(' ').contains("ibwrt:CALC? ibask ibwait ibrd"));
}

// --open shows a stored log and leaves its file as it was: one cut by a
// crash, one from before the address column; what is no log is refused.
TEST(PanelProgram, OpensAStoredLogWithoutTouchingIt)
{
    QTemporaryDir dir;
    const QByteArray row = "2026-12-06T21:07:05.042+01:00,DM5010,DCV,0,1.5,V,\" 1.5000\",+1.5E0";
    const QString cut = dir.filePath("cut.csv"), old = dir.filePath("old.csv");
    const QString shot = dir.filePath("shot.png");
    const std::pair<QString, QByteArray> files[] = {
        {cut, "time,model,function,range,value,unit,readout,raw,address\r\n" + row + ",16\r\n" +
                  row + ",16\r\n" + row.left(50)},
        {old, "time,model,function,range,value,unit,readout,raw\r\n" + row + "\r\n"}};
    for (const auto& [path, bytes] : files) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.write(bytes) > 0 && file.flush());
        file.setFileTime(QDateTime::fromSecsSinceEpoch(1000), QFileDevice::FileModificationTime);
    }
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo.csv")).constData(), 0600), 0);
    const std::tuple<QString, int, const char*> cases[] = {
        {cut, 0, "cut.csv: 2 readings, 1 row skipped\nlumodm: log shown \\d+ ms after start\n$"},
        {old, 0, "old.csv: 1 reading, 0 rows skipped\nlumodm: log shown"},
        {"--screenshot=" + shot, 0, "old.csv: 1 reading,"},
        {dir.filePath("none.csv"), 1, "lumodm: cannot read .*none.csv: No such file"},
        {dir.filePath("fifo.csv"), 1, "lumodm: .*fifo.csv is not a regular file\n$"}};
    for (const auto& [argument, status, text] : cases) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        const bool shoots = argument.startsWith("--");
        process.start(QStringLiteral(LUMODM_PATH),
                      {"-platform", "offscreen", "--open=" + (shoots ? old : argument),
                       shoots ? argument : "--quit-when-up"});
        ASSERT_TRUE(process.waitForFinished(60000));
        const QString output = QString::fromUtf8(process.readAll());
        EXPECT_EQ(process.exitCode(), status) << output.toStdString();
        EXPECT_TRUE(QRegularExpression(text).match(output).hasMatch()) << output.toStdString();
    }
    EXPECT_GT(QFileInfo(shot).size(), 0);
    for (const auto& [path, bytes] : files) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll() == bytes &&
                    file.fileTime(QFileDevice::FileModificationTime).toSecsSinceEpoch() == 1000);
    }
}

} // namespace
} // namespace lumodm
