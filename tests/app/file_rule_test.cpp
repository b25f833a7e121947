#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

// What both programs make of odd files where they look, and of values too
// long to show: the defaults or a refusal that names the file, never a
// hang, and short messages.
namespace lumodm {
namespace {

TEST(FileRule, OddFilesLeaveTheDefaultsOrAreRefusedAndLongValuesAreCut)
{
    QTemporaryDir home;
    const QDir config(home.filePath(QStringLiteral("config")));
    ASSERT_TRUE(config.mkpath(QStringLiteral("LumoDM")));
    // The panel's settings a FIFO (reading it would block for good), the
    // remembered bus a sparse 100 MB file.
    ASSERT_EQ(::mkfifo(QFile::encodeName(config.filePath("LumoDM/LumoDM.ini")).constData(), 0600),
              0);
    QFile connection(config.filePath(QStringLiteral("LumoDM/Connection.ini")));
    ASSERT_TRUE(connection.open(QIODevice::WriteOnly) && connection.resize(100 << 20));
    connection.close();
    QFile password(home.filePath(QStringLiteral("broker.pw")));
    ASSERT_TRUE(password.open(QIODevice::WriteOnly) && password.write("pw\n") == 3);
    password.close();
    ASSERT_TRUE(password.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));

    const QString panel = QStringLiteral(LUMODM_PATH);
    const QString reader = QStringLiteral(LUMODM_READ_PATH);
    const struct
    {
        QString program;
        QStringList arguments;
        int status;
        const char* text; // in standard error
    } cases[] = {
        {panel,
         {"-platform", "offscreen", "--sim", "--quit-when-up"},
         0,
         "LumoDM\\.ini is not a regular file; its settings are not used\n[\\s\\S]*panel up"},
        {reader,
         {"--gpib-library=" + config.filePath("LumoDM/LumoDM.ini")},
         1,
         "\n  [^\n]*LumoDM\\.ini: [^\n]*LumoDM\\.ini is not a regular file\n"},
        // Not read: the GPIB library is tried instead, and there is none.
        {reader,
         {},
         1,
         "^lumodm-read: .*Connection\\.ini is larger than 65536 bytes; its settings"},
        {reader,
         {"--sim", "--publish=mqtt://u@h/t", "--publish-password-file=" + password.fileName()},
         2,
         "^lumodm-read: --publish-password-file: .*broker\\.pw is open to other users; make it "
         "private with chmod 600 "},
        {reader,
         {"--sim", "--publish=mqtts://h/t", "--publish-ca=" + home.filePath("missing")},
         2,
         "^lumodm-read: --publish-ca: cannot read .*missing: No such file or directory\n"},
        {reader,
         {"--sim", "--function=" + QString(100000, QLatin1Char('x'))},
         2,
         "^lumodm-read: the DM5010 has no function X+\u2026 \\(it has DCV"},
        {reader,
         {"--prologix=" + QString(10240, QLatin1Char('a'))},
         2,
         "^lumodm-read: --prologix: \"a+\u2026\": a host name has at most 253 characters\n"},
        // No buttons to offer: the reader says what it does.
        {reader,
         {"--sim=DM5010,fault=vanish-after=8", "--count=3", "--interval=0"},
         3,
         "\nSettings Error: A mismatch [^\n]*\n  lumodm-read stops\\.\n$"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').left(80).toStdString());
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        process.setProcessEnvironment(env);
        process.start(c.program, c.arguments);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), c.status);
        const QString err = QString::fromUtf8(process.readAllStandardError());
        EXPECT_TRUE(QRegularExpression(c.text).match(err).hasMatch()) << err.toStdString();
        EXPECT_LT(err.size(), 1000);
    }
}

} // namespace
} // namespace lumodm
