// The command lines of both programs: lumodm (the common options and its
// own extras) and lumodm-read (the common options and the reader's).
//
// Input: the arguments after the program name, separated by zero bytes,
// taken as the programs take them (in the local 8-bit encoding).
#include "app/command_line.h"
#include "app/headless_reader_options.h"
#include "bus/drivers/prologix/adapter_target.h"
#include "meter/function_table.h"
#include "qt/program_extras.h"

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

void checkParse(const lumodm::CommandLineParse& parse)
{
    const lumodm::CommandLine& o = parse.options;
    // --help and --version win over the rest of the line, bad or not.
    if (o.help || o.version) {
        check(parse.ok());
        return;
    }
    if (!parse.ok()) {
        check(!lumodm::commandLineErrorText(QStringLiteral("lumodm"), parse.error).isEmpty());
        return;
    }
    const lumodm::DriverSpec& d = o.driver;
    if (d.kind == lumodm::DriverSpec::Kind::Prologix || d.kind == lumodm::DriverSpec::Kind::Ar488) {
        check(lumodm::parseAdapterTarget(d.adapter, nullptr).has_value());
    }
    check(d.kind == lumodm::DriverSpec::Kind::Library || d.library.isEmpty());
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

    lumodm::ProgramExtras extras;
    checkParse(
        lumodm::parseCommandLine(arguments, [&extras](const QString& argument, QString& error) {
            return lumodm::takeProgramExtra(argument, extras, error);
        }));
    check(extras.screenshotFile.isEmpty() || !extras.screenshotFile.trimmed().isEmpty());
    check(extras.iconFolder.isEmpty() || !extras.iconFolder.trimmed().isEmpty());

    lumodm::ReaderOptions reader;
    checkParse(
        lumodm::parseCommandLine(arguments, [&reader](const QString& argument, QString& error) {
            switch (lumodm::takeReaderOption(argument, reader, error)) {
            case lumodm::ReaderOptionResult::Taken:
                return lumodm::ExtraOptionResult::Taken;
            case lumodm::ReaderOptionResult::Bad:
                check(!error.isEmpty());
                return lumodm::ExtraOptionResult::Bad;
            case lumodm::ReaderOptionResult::NotMine:
                break;
            }
            return lumodm::ExtraOptionResult::NotMine;
        }));
    // Whatever the line, the reader's options stay ones it can act on.
    check(reader.function.isEmpty() || lumodm::findFunction(reader.function) != nullptr);
    check(!reader.range || (*reader.range >= 0 && *reader.range <= 99));
    check(reader.count >= 0);
    check(std::isfinite(reader.interval) && reader.interval >= 0 &&
          reader.interval <= 7 * 24 * 3600.0);
    return 0;
}
