#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

} // namespace
} // namespace lumodm
