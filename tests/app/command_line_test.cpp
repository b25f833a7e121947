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

TEST(CommandLine, WithoutOptionsUsesTheLibraryDriver)
{
    const CommandLineParse p = parse({});
    ASSERT_TRUE(p.ok());
    EXPECT_EQ(p.options.driver.kind, DriverSpec::Kind::Library);
    EXPECT_TRUE(p.options.driver.library.isEmpty());
    EXPECT_FALSE(p.options.driver.trace);
    EXPECT_FALSE(p.options.help || p.options.version);
}

TEST(CommandLine, TakesEachDriverAndItsValue)
{
    struct Case
    {
        std::initializer_list<const char*> args;
        DriverSpec::Kind kind;
        const char* value; // simulation, adapter or library
    };
    const Case cases[] = {
        {{"--sim"}, DriverSpec::Kind::Simulated, ""},
        {{"--sim=DM5120@5,dm5010"}, DriverSpec::Kind::Simulated, "DM5120@5,dm5010"},
        {{"--prologix=192.168.1.20"}, DriverSpec::Kind::Prologix, "192.168.1.20"},
        {{"--prologix", "gpib:4000"}, DriverSpec::Kind::Prologix, "gpib:4000"},
        {{"--prologix=/dev/ttyUSB0"}, DriverSpec::Kind::Prologix, "/dev/ttyUSB0"},
        {{"--ar488=/dev/ttyACM0"}, DriverSpec::Kind::Ar488, "/dev/ttyACM0"},
        {{"--gpib-library=/opt/lib/libgpib.so"}, DriverSpec::Kind::Library, "/opt/lib/libgpib.so"},
        {{"--gpib-library", "libx.so"}, DriverSpec::Kind::Library, "libx.so"},
    };
    for (const Case& c : cases) {
        const CommandLineParse p = parse(c.args);
        ASSERT_TRUE(p.ok()) << *c.args.begin() << ": " << p.error.toStdString();
        EXPECT_EQ(p.options.driver.kind, c.kind) << *c.args.begin();
        const DriverSpec& d = p.options.driver;
        const QString value = c.kind == DriverSpec::Kind::Simulated ? d.simulation
                              : c.kind == DriverSpec::Kind::Library ? d.library
                                                                    : d.adapter;
        EXPECT_EQ(value, QString::fromLatin1(c.value)) << *c.args.begin();
    }
}

TEST(CommandLine, TakesTraceAndLogWithAnyDriver)
{
    const CommandLineParse p = parse({"--trace", "--log=/tmp/readings.csv", "--sim=DM5110"});
    ASSERT_TRUE(p.ok()) << p.error.toStdString();
    EXPECT_TRUE(p.options.driver.trace);
    EXPECT_EQ(p.options.logFile, QStringLiteral("/tmp/readings.csv"));
    EXPECT_EQ(p.options.driver.kind, DriverSpec::Kind::Simulated);
}

TEST(CommandLine, RefusesBadCommandLinesWithAReason)
{
    struct Case
    {
        std::initializer_list<const char*> args;
        const char* error;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        const CommandLineParse p = parse(c.args);
        EXPECT_FALSE(p.ok()) << *c.args.begin();
        EXPECT_TRUE(p.error.startsWith(QString::fromLatin1(c.error))) << p.error.toStdString();
    }
}

TEST(CommandLine, HelpAndVersionWinOverErrors)
{
    EXPECT_TRUE(parse({"--bogus", "--help"}).ok());
    EXPECT_TRUE(parse({"--bogus", "--help"}).options.help);
    EXPECT_TRUE(parse({"-h"}).options.help);
    EXPECT_TRUE(parse({"--version", "stray"}).options.version);
}

TEST(CommandLine, OffersUnknownArgumentsToTheProgramsOwnOptions)
{
    int count = 0;
    QStringList seen;
    const ExtraOptionHandler extra = [&](const QString& argument, QString& error) {
        seen << argument;
        if (argument.startsWith(QStringLiteral("--count="))) {
            bool ok = false;
            count = argument.mid(8).toInt(&ok);
            if (!ok) {
                error = QStringLiteral("--count takes a number");
                return ExtraOptionResult::Bad;
            }
            return ExtraOptionResult::Taken;
        }
        return ExtraOptionResult::NotMine;
    };
    CommandLineParse p = parse({"--sim", "--count=5", "--trace"}, extra);
    ASSERT_TRUE(p.ok());
    EXPECT_EQ(count, 5);
    // Only what the common options leave is offered.
    EXPECT_EQ(seen, QStringList{QStringLiteral("--count=5")});

    p = parse({"--count=x"}, extra);
    EXPECT_EQ(p.error, QStringLiteral("--count takes a number"));
    p = parse({"--csv"}, extra);
    EXPECT_EQ(p.error, QStringLiteral("unknown option '--csv'"));
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
