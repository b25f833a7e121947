// The command lines of both programs, through the one option table.
//
// Input: the arguments after the program name, separated by zero bytes,
// taken as the programs take them (in the local 8-bit encoding).
#include "app/command_line.h"
#include "bus/drivers/prologix/adapter_target.h"

#include <QByteArray>
#include <QStringList>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

void checkParse(lumodm::Program program, const QStringList& arguments)
{
    const lumodm::CommandLineParse parse = lumodm::parseCommandLine(program, arguments);
    const lumodm::CommandLine& o = parse.options;
    // --help and --version win over the rest of the line, bad or not.
    if (o.help || o.version) {
        check(parse.ok());
        return;
    }
    if (!parse.ok()) {
        check(!lumodm::commandLineErrorText(program, parse.error).isEmpty());
        return;
    }
    const lumodm::DriverSpec& d = o.driver;
    if (d.kind == lumodm::DriverSpec::Kind::Prologix || d.kind == lumodm::DriverSpec::Kind::Ar488) {
        check(lumodm::parseAdapterTarget(d.adapter, nullptr).has_value());
    }
    check(d.kind == lumodm::DriverSpec::Kind::Library || d.library.isEmpty());
    // Each program takes only its own options; what it takes is usable.
    const lumodm::ReaderOptions& r = o.reader;
    const lumodm::ProgramExtras& x = o.extras;
    if (program == lumodm::Program::Panel) {
        check(r.function.isEmpty() && !r.range && r.count == 1 && r.interval == 1.0 && !r.csv);
        check(x.screenshotFile.isEmpty() || !x.screenshotFile.trimmed().isEmpty());
        check(x.iconFolder.isEmpty() || !x.iconFolder.trimmed().isEmpty());
    } else {
        check(x.screenshotFile.isEmpty() && x.iconFolder.isEmpty() && !x.quitWhenUp);
        check(r.function == r.function.trimmed().toUpper());
        check(!r.range || (*r.range >= 0 && *r.range <= 99));
        check(r.count >= 0);
        check(std::isfinite(r.interval) && r.interval >= 0 && r.interval <= 7 * 24 * 3600.0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QStringList arguments;
    if (!input.isEmpty()) {
        for (const QByteArray& argument : input.split('\0')) {
            arguments.append(QString::fromLocal8Bit(argument));
        }
    }
    checkParse(lumodm::Program::Panel, arguments);
    checkParse(lumodm::Program::Reader, arguments);
    return 0;
}
