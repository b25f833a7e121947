#include "app/command_line.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

CommandLineParse parse(std::initializer_list<const char*> args,
                       const ExtraOptionHandler& extra = {})
{
    QStringList list;
    for (const char* a : args) {
        list << QString::fromUtf8(a);
    }
    return parseCommandLine(list, extra);
}

TEST(CommandLine, TakesEachDriverAndItsValue)
{
    const struct
    {
        std::initializer_list<const char*> args;
        DriverSpec::Kind kind;
        const char* value; // simulation, adapter or library
    } cases[] = {
        {{}, DriverSpec::Kind::Library, ""},
        {{"--sim"}, DriverSpec::Kind::Simulated, ""},
        {{"--sim=DM5120@5,dm5010"}, DriverSpec::Kind::Simulated, "DM5120@5,dm5010"},
        {{"--prologix=192.168.1.20"}, DriverSpec::Kind::Prologix, "192.168.1.20"},
        {{"--prologix", "gpib:4000"}, DriverSpec::Kind::Prologix, "gpib:4000"},
        {{"--ar488=/dev/ttyACM0"}, DriverSpec::Kind::Ar488, "/dev/ttyACM0"},
        {{"--gpib-library", "libx.so"}, DriverSpec::Kind::Library, "libx.so"},
    };
    for (const auto& c : cases) {
        const CommandLineParse p = parse(c.args);
        SCOPED_TRACE(c.value);
        ASSERT_TRUE(p.ok()) << p.error.toStdString();
        const DriverSpec& d = p.options.driver;
        EXPECT_EQ(d.kind, c.kind);
        const QString value = c.kind == DriverSpec::Kind::Simulated ? d.simulation
                              : c.kind == DriverSpec::Kind::Library ? d.library
                                                                    : d.adapter;
        EXPECT_EQ(value, QString::fromLatin1(c.value));
        EXPECT_FALSE(d.trace || p.options.help || p.options.version);
    }
    const CommandLineParse p = parse({"--trace", "--log=/tmp/readings.csv", "--sim=DM5110"});
    EXPECT_TRUE(p.options.driver.trace);
    EXPECT_EQ(p.options.logFile, QStringLiteral("/tmp/readings.csv"));
}

TEST(CommandLine, RefusesBadCommandLinesWithAReason)
{
    const struct
    {
        std::initializer_list<const char*> args;
        const char* error;
    } cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"stray"}, "unexpected argument 'stray'"},
        {{"--sim", "--prologix=host"}, "--sim and --prologix name two buses; choose one"},
        {{"--ar488=/dev/a", "--ar488=/dev/b"}, "--ar488 is given twice"},
        {{"--sim=DM9999"}, "--sim: unknown simulated meter"},
        {{"--sim=DM5010@31"}, "--sim: simulated DM5010: address"},
        {{"--prologix"}, "--prologix needs HOST[:PORT] or a serial device"},
        {{"--prologix="}, "--prologix needs HOST[:PORT] or a serial device"},
        {{"--prologix=host:99999"}, "--prologix: \"host:99999\": the port must be"},
        {{"--gpib-library="}, "--gpib-library needs the path of a library"},
        {{"--gpib-library=x.so", "--sim"},
         "--gpib-library names the library driver; it does not go with --sim"},
        {{"--log"}, "--log needs a file name"},
        {{"--trace=yes"}, "--trace takes no value"},
    };
    for (const auto& c : cases) {
        const CommandLineParse p = parse(c.args);
        EXPECT_FALSE(p.ok()) << c.error;
        EXPECT_TRUE(p.error.startsWith(QString::fromLatin1(c.error))) << p.error.toStdString();
    }
    // Help and version win over errors.
    EXPECT_TRUE(parse({"--bogus", "--help"}).ok());
    EXPECT_TRUE(parse({"--bogus", "-h"}).options.help);
    EXPECT_TRUE(parse({"--version", "stray"}).options.version);
}

TEST(CommandLine, OffersWhatItLeavesToTheProgramsOwnOptions)
{
    QStringList seen;
    const ExtraOptionHandler extra = [&](const QString& argument, QString& error) {
        seen << argument;
        if (argument == QStringLiteral("--count=x")) {
            error = QStringLiteral("--count takes a number");
            return ExtraOptionResult::Bad;
        }
        return argument == QStringLiteral("--count=5") ? ExtraOptionResult::Taken
                                                       : ExtraOptionResult::NotMine;
    };
    EXPECT_TRUE(parse({"--sim", "--count=5", "--trace"}, extra).ok());
    EXPECT_EQ(seen, QStringList{QStringLiteral("--count=5")});
    EXPECT_EQ(parse({"--count=x"}, extra).error, QStringLiteral("--count takes a number"));
    EXPECT_EQ(parse({"--csv"}, extra).error, QStringLiteral("unknown option '--csv'"));
}

TEST(CommandLine, HelpDescribesEveryOptionAndDriver)
{
    const QString help =
        commandLineHelp(QStringLiteral("lumodm-read"),
                        QStringLiteral("  --count=N                 take N readings\n"));
    EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: lumodm-read [OPTION]...\n")));
    for (const char* item :
         {"--sim[=MODEL[@ADDR],...]", "--prologix=HOST[:PORT]", "--prologix=/dev/ttyUSB0",
          "--ar488=/dev/ttyACM0", "--gpib-library=PATH", "--trace", "--log=FILE", "--help",
          "--version", "--count=N", "libgpib.so.0", "libni4882.so", "libgpibapi.so", "115200",
          "1234", "Simulated bus", "\"++\" adapter"}) {
        EXPECT_TRUE(help.contains(QLatin1String(item))) << item;
    }
    for (const QString& line : help.split(QLatin1Char('\n'))) {
        EXPECT_LE(line.size(), 80) << line.toStdString();
    }
    EXPECT_EQ(
        commandLineErrorText(QStringLiteral("lumodm"), QStringLiteral("unknown option '-x'")),
        QStringLiteral("lumodm: unknown option '-x'\nTry 'lumodm --help' for more information."));
    EXPECT_TRUE(versionText(QStringLiteral("lumodm")).startsWith(QStringLiteral("lumodm 1.")));
}

} // namespace
} // namespace lumodm
