#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// lumodm as a user starts it: what it answers before any window, what Qt's
// own options leave, and the log it opens.
namespace lumodm {
namespace {

TEST(PanelProgram, AnswersItsCommandLine)
{
    QTemporaryDir home;
    const QString log = home.filePath(QStringLiteral("r.csv"));
    const struct
    {
        QStringList arguments;
        const char* platform; // "xcb" without a display: only what needs no window
        int status;
        const char* text; // in standard output after --help, else standard error
    } cases[] = {
        {{"--help"}, "xcb", 0, "^Usage: lumodm \\[OPTION\\]\\.\\.\\.\nFront panel"},
        {{"--sim", "--bogus"}, "xcb", 2, "^lumodm: unknown option '--bogus'\nTry 'lumodm --help'"},
        {{"-platform", "offscreen", "--sim", "--quit-when-up", "--log=" + log},
         "xcb",
         0,
         "lumodm: panel up \\d+ ms after start\n$"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QString::fromLatin1(c.platform));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(LUMODM_PATH), c.arguments);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), c.status);
        const QString text = QString::fromUtf8(c.status == 0 && c.arguments.size() == 1
                                                   ? process.readAllStandardOutput()
                                                   : process.readAllStandardError());
        EXPECT_TRUE(QRegularExpression(QString::fromUtf8(c.text)).match(text).hasMatch())
            << text.toStdString();
    }
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("time,model,"));
}

} // namespace
} // namespace lumodm
