#include "app/command_line.h"

#include <gtest/gtest.h>

#include <tuple>

namespace lumodm {
namespace {

// What a line asked for, the defaults left out; "! error" when refused.
QString describe(const CommandLineParse& p)
{
    const CommandLine& o = p.options;
    const ReaderOptions& r = o.reader;
    const auto named = [](const char* n, const QString& v) { return v.isEmpty() ? v : n + v; };
    const DriverSpec& d = o.driver;
    const char* kinds[] = {"", "sim=", "prologix=", "ar488="};
    const QString bus = kinds[static_cast<int>(d.kind)] + d.simulation + d.adapter + d.library;
    QStringList s = QStringList{bus}
                    << (d.trace ? "trace" : "") << named("meters=", d.meters.text())
                    << (o.help ? "help" : "") << (o.version ? "version" : "")
                    << (r.csv ? "csv" : "") << (o.extras.quitWhenUp ? "quit" : "")
                    << (o.readings ? "readings" : "") << named("log=", o.logFile)
                    << named("function=", r.function)
                    << named("range=", r.range ? QString::number(*r.range) : "")
                    << named("count=", r.count != 1 ? QString::number(r.count) : "")
                    << named("interval=", r.interval != 1 ? QString::number(r.interval) : "")
                    << named("shot=", o.extras.screenshotFile)
                    << named("after=", o.extras.screenshotDelayMs != 2500
                                           ? QString::number(o.extras.screenshotDelayMs)
                                           : "")
                    << named("icons=", o.extras.iconFolder);
    s.removeAll(QString());
    return p.ok() ? s.join(' ') : "! " + p.error;
}

enum Offered { P = 1, R = 2, B = 3 }; // by the panel, the reader, both

TEST(CommandLine, ArgumentsInOptionsOrTheFirstErrorOutAndHelp)
{
    const std::tuple<int, QStringList, const char*> cases[] = {
        {B,
         {"--sim=DM5120@5,dm5010", "--trace", "--log=a", "--address=30"},
         "sim=DM5120@5,dm5010 trace meters=30 log=a"},
        {B, {"--sim", "--address=14,12,14", "--all"}, "sim= meters=all:12,14"},
        {B, {"--prologix", "gpib:4000"}, "prologix=gpib:4000"},
        {B, {"--ar488=/dev/ttyACM0"}, "ar488=/dev/ttyACM0"},
        {B, {"--gpib-library", "libx.so"}, "libx.so"},
        {B, {"--sim", "--ar488=/dev/x", "-h", "stray", "--version"}, "sim= help version"},
        {R, {"--function=dbm dcv", "--range=AUTO", "--csv"}, "csv function=DBM DCV range=0"},
        {R, {"--count=0", "--interval=0", "--range=1"}, "range=1 count=0 interval=0"},
        {R,
         {"--range=99", "--interval=604800", "--count", "7"},
         "range=99 count=7 interval=604800"},
        {P,
         {"--screenshot=s", "--write-icons", "i", "--quit-when-up", "--readings",
          "--screenshot-after=30.5"},
         "quit readings shot=s after=30500 icons=i"},
        {P, {"--screenshot-after=601"}, "! --screenshot-after takes seconds from 0 to 600"},
        {P, {"--open=a.csv", "--quit-when-up", "--readings"}, "quit readings"},
        {P, {"--open=a.csv", "--sim"}, "! --open shows a stored log, with no bus; it does not"},
        {P, {"--log=l", "--open=a.csv"}, "! --open shows a stored log, with no bus; it does"},
        {R, {"--open=a.csv"}, "! unknown option '--open=a.csv'"},
        {B, {"--bogus=1"}, "! unknown option '--bogus=1'"},
        {B, {"--"}, "! unknown option '--'"},
        {B, {"stray"}, "! unexpected argument 'stray'"},
        {B, {"--sim", "--prologix=host"}, "! --sim and --prologix name two buses; choose one"},
        {B, {"--ar488=/dev/a", "--ar488=/dev/b"}, "! --ar488 is given twice"},
        {B, {"--sim=DM9999"}, "! --sim: unknown simulated meter"},
        {B, {"--prologix"}, "! --prologix needs HOST[:PORT] or a serial device"},
        {B, {"--prologix=host:99999"}, "! --prologix: \"host:99999\": the port must be"},
        {B, {"--gpib-library=x", "--sim"}, "! --gpib-library names the library driver; it does"},
        {B, {"--sim=DM5010", "--log"}, "! --log needs a file name"},
        {B, {"--log=a", "--log=b"}, "! --log is given twice"},
        {B, {"--trace=yes"}, "! --trace takes no value"},
        {B, {"--address=0"}, "! --address takes GPIB addresses from 1 to 30, not '0'"},
        {B, {"--address=12,31"}, "! --address takes GPIB addresses from 1 to 30, not '12,31'"},
        {B, {"--address=3", "--address=3"}, "! --address is given twice"},
        {P, {"--count=5"}, "! unknown option '--count=5'"},
        {P, {"--screenshot= "}, "! --screenshot needs a file or folder name"},
        {R, {"--function= "}, "! --function needs a function code"},
        {R, {"--range=0"}, "! --range takes auto or a range number from 1, not '0'"},
        {R, {"--range=100"}, "! --range takes auto"},
        {R, {"--count=-1"}, "! --count takes a whole number, 0 for no end, not '-1'"},
        {R, {"--count=1.5"}, "! --count takes a whole number"},
        {R, {"--interval=-1"}, "! --interval takes seconds from 0 to 604800, not '-1'"},
        {R, {"--interval=nan"}, "! --interval takes seconds"},
        {R, {"--interval=604801"}, "! --interval takes seconds"},
    };
    for (const auto& [offered, args, expected] : cases) {
        for (const Program program : {Program::Panel, Program::Reader}) {
            const QString got = describe(parseCommandLine(program, args));
            const bool right = *expected == '!' ? got.startsWith(expected) : got == expected;
            EXPECT_TRUE(right || (offered & (program == Program::Panel ? P : R)) == 0)
                << args.join(' ').toStdString() << " -> " << got.toStdString();
        }
    }
    // --help: what each program offers, in lines that fit a terminal.
    const QString panel = commandLineHelp(Program::Panel);
    const QString reader = commandLineHelp(Program::Reader);
    for (const char* both :
         {"  --sim[=MODEL[@ADDR],...]  the built-in", "--ar488", "\"++\" adapter"}) {
        EXPECT_TRUE(panel.contains(both) && reader.contains(both)) << both;
    }
    for (const char* own : {"Usage: lumodm-read [OPTION]...\nlumodm-read takes", "--function=CODE",
                            "--range=N|auto", "--count", "--csv", "status 3", "reading taken"}) {
        EXPECT_TRUE(reader.contains(own) && !panel.contains(own)) << own;
    }
    EXPECT_TRUE(panel.startsWith("Usage: lumodm [OPTION]...\nFront panel for"));
    const QStringList lines = reader.trimmed().split('\n'); // the last paragraph as wide as others
    EXPECT_GT(lines.value(lines.size() - 2).size(), 70) << reader.toStdString();
    EXPECT_FALSE(panel.contains("--screenshot"));
    for (const QString& line : (panel + reader).split('\n')) {
        EXPECT_LE(line.size(), 80) << line.toStdString();
    }
    EXPECT_EQ(commandLineErrorText(Program::Reader, "unknown option '-x'"),
              "lumodm-read: unknown option '-x'\nTry 'lumodm-read --help' for more information.");
}

} // namespace
} // namespace lumodm
