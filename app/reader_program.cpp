#include "app/reader_program.h"

#include "app/command_line.h"
#include "reader/console_platform.h"
#include "reader/headless_reader.h"
#include "bus/drivers/driver_factory.h"
#include "log/reading_log.h"

#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#include <memory>

namespace lumodm {

namespace {

const QString kProgram = QStringLiteral("lumodm-read");

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

int runHeadlessReaderProgram(int argc, char** argv)
{
    QCoreApplication application(argc, argv);

    ReaderOptions readerOptions;
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const CommandLineParse parse =
        parseCommandLine(arguments, [&](const QString& argument, QString& error) {
            switch (takeReaderOption(argument, readerOptions, error)) {
            case ReaderOptionResult::Taken:
                return ExtraOptionResult::Taken;
            case ReaderOptionResult::Bad:
                return ExtraOptionResult::Bad;
            case ReaderOptionResult::NotMine:
                break;
            }
            return ExtraOptionResult::NotMine;
        });
    if (parse.options.help) {
        print(stdout,
              commandLineHelp(kProgram, readerOptionsHelp(),
                              QStringLiteral("lumodm-read takes readings from a DM5010, DM5110 "
                                             "or DM5120 without a window.")) +
                  QStringLiteral("lumodm-read ends with status 3 when a reading failed or the\n"
                                 "log (--log) could not be opened or written.\n"));
        return reader_status::Ok;
    }
    if (parse.options.version) {
        print(stdout, versionText(kProgram) + QLatin1Char('\n'));
        return reader_status::Ok;
    }
    if (!parse.ok()) {
        print(stderr, commandLineErrorText(kProgram, parse.error) + QLatin1Char('\n'));
        return reader_status::BadOptions;
    }

    ConsolePlatform platform;
    platform.catchInterrupts();

    DriverCreation creation = createDriver(parse.options.driver, std::cerr);
    if (!creation.ok()) {
        // The bus's hints name the front panel's command; here it is this one.
        QString text = creation.errorText;
        text.replace(QStringLiteral("lumodm --"), kProgram + QStringLiteral(" --"));
        platform.messageBox(text, creation.errorTitle, MessageButtons::Ok, MessageIcon::Stop);
        return reader_status::MeterNotFound;
    }
    GpibDriver& driver = *creation.driver;
    std::unique_ptr<ReadingLog> log;
    // A fatal end closes the log too, which syncs its last rows to the disk.
    platform.setShutdownHook([&driver, &log] {
        log.reset();
        driver.close();
    });

    if (!parse.options.logFile.isEmpty()) {
        // A log asked for is part of the job: without it the readings stop.
        log = std::make_unique<ReadingLog>(parse.options.logFile, platform);
        log->setFailureNote(QStringLiteral("lumodm-read stops here."));
        if (!log->open()) {
            driver.close();
            return reader_status::LogFailed;
        }
    }

    HeadlessReader reader(driver, platform);
    reader.setInterrupted(&ConsolePlatform::interrupted);
    reader.setLog(log.get());
    const int status = reader.run(readerOptions);

    log.reset();
    driver.close();
    return status;
}

} // namespace lumodm
