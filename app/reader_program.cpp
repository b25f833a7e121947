#include "app/reader_program.h"

#include "app/command_line.h"
#include "app/meter_readers.h"
#include "connect/connect_session.h"
#include "log/reading_log.h"
#include "publish/reading_publisher.h"
#include "reader/console_platform.h"
#include "reader/headless_reader.h"
#include "stats/statistics_text.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>

namespace lumodm {

namespace {

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

// How long the readings still queued may take to reach the broker at the end.
constexpr std::chrono::milliseconds kPublishFlush(3000);

} // namespace

int runHeadlessReaderProgram(int argc, char** argv)
{
    QCoreApplication application(argc, argv);

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const CommandLineParse parse = parseCommandLine(Program::Reader, arguments);
    if (parse.options.help) {
        print(stdout, commandLineHelp(Program::Reader));
        return reader_status::Ok;
    }
    if (parse.options.version) {
        print(stdout, versionText(Program::Reader) + QLatin1Char('\n'));
        return reader_status::Ok;
    }
    if (!parse.ok()) {
        print(stderr, commandLineErrorText(Program::Reader, parse.error) + QLatin1Char('\n'));
        return reader_status::BadOptions;
    }

    ConsolePlatform platform;
    platform.catchInterrupts();

    // The bus the panel's chooser remembered serves here too.
    ConnectSession session(connectionFile(), programName(Program::Reader), std::cerr);
    bool cancelled = false;
    DriverCreation creation = session.open(parse.options.driver, namesBus(parse.options.driver),
                                           false, nullptr, &cancelled);
    if (!creation.ok()) {
        platform.messageBox(creation.errorText, creation.errorTitle, MessageButtons::Ok,
                            MessageIcon::Stop);
        return reader_status::MeterNotFound;
    }
    GpibDriver& driver = *creation.driver;
    std::unique_ptr<ReadingLog> log;
    std::unique_ptr<ReadingPublisher> publisher;
    ReadingStatistics statistics;
    // --stats sums up every end after readings, and a normal end without
    // any (n=0); not a run that never came to its readings.
    const bool stats = parse.options.reader.stats;
    const auto sumUp = [&statistics, stats](bool normalEnd) {
        if (stats && (normalEnd || statistics.readingsSeen() > 0)) {
            print(stderr, statisticsLine(statistics) + QLatin1Char('\n'));
        }
    };
    // A fatal end closes the log too, which syncs its last rows to the disk.
    platform.setShutdownHook([&driver, &log, &publisher, &sumUp] {
        log.reset();
        publisher.reset();
        driver.close();
        sumUp(false);
    });

    if (!parse.options.logFile.isEmpty()) {
        // A log asked for is part of the job: without it the readings stop.
        log = std::make_unique<ReadingLog>(parse.options.logFile, platform, LogNaming::ByTime);
        log->setFailureNote(QStringLiteral("lumodm-read stops here."));
        log->setMeterCount(creation.meters.several() ? 2 : 1);
        if (!log->open()) {
            driver.close();
            return reader_status::LogFailed;
        }
    }

    if (creation.meters.several()) {
        const int status =
            readSeveralMeters(parse.options, creation.meters, driver, platform, log.get());
        log.reset();
        driver.close();
        return status;
    }

    HeadlessReader reader(driver, platform);
    reader.setInterrupted(&ConsolePlatform::interrupted);
    reader.setLog(log.get());
    reader.addReadingObserver(&statistics);
    if (!parse.options.publish.url.isEmpty()) {
        publisher = makeReadingPublisher(parse.options.publish, [](QString text) {
            print(stderr, QStringLiteral("lumodm-read: %1\n")
                              .arg(text.replace(QLatin1Char('\n'), QLatin1Char(' '))));
        });
        // The meter is known once the reader has found it.
        publisher->startOnFirstReading([&reader] {
            return PublishedMeter{reader.modelName(), reader.meter().address};
        });
        reader.addReadingObserver(publisher.get());
    }
    int status = reader.run(parse.options.reader);
    if (publisher && !publisher->finish(kPublishFlush) && status == reader_status::Ok) {
        status = reader_status::ReadingsUnconfirmed;
    }

    log.reset();
    driver.close();
    sumUp(status == reader_status::Ok);
    return status;
}

} // namespace lumodm
