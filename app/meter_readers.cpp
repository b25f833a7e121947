#include "app/meter_readers.h"

#include "bus/bus_connection.h"
#include "bus/shared_bus.h"
#include "log/reading_log.h"
#include "log/reading_row.h"
#include "meter/identify_meter.h"
#include "meter/meter_messages.h"
#include "publish/reading_publisher.h"
#include "reader/console_platform.h"
#include "reader/fatal_status_platform.h"
#include "reader/headless_reader.h"
#include "session/session_platform.h"
#include "session/session_thread.h"
#include "stats/statistics_text.h"

#include <QEventLoop>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace lumodm {

namespace {

constexpr std::chrono::milliseconds kPublishFlush(3000);

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

// One meter being read, on its thread.
struct MeterReader
{
    MeterIdentity meter;
    SessionThread thread;
    std::unique_ptr<SessionPlatform> platform;
    std::unique_ptr<GpibDriver> view;
    std::unique_ptr<HeadlessReader> reader;
    ReadingStatistics statistics;
    std::unique_ptr<ReadingPublisher> publisher;
    int status = reader_status::Ok; // once done
    std::atomic<bool> done{false};
};

} // namespace

int readSeveralMeters(const CommandLine& line, const MeterSelection& meters, GpibDriver& driver,
                      ConsolePlatform& console, ReadingLog* log)
{
    SharedBus bus(driver);
    FatalStatusPlatform startup(console);
    startup.setFatalStatus(reader_status::MeterNotFound);
    ServedMeters sorted;
    {
        BusConnection connection(bus.view(), startup);
        sorted =
            sortOutMeters(identifyMeters(connection.gpib(), connection.helper()), meters.addresses);
    }
    const std::vector<MeterIdentity>& supported = sorted.supported;
    // A meter that is not there is told, and said by the exit status once
    // the others are done.
    int worst = sorted.missing.isEmpty() ? reader_status::Ok : reader_status::MeterNotFound;
    for (const int address : sorted.missing) {
        console.messageBox(noSupportedMeterAtText(address), QStringLiteral("Error"),
                           MessageButtons::Ok, MessageIcon::Stop);
    }
    if (supported.empty()) {
        console.messageBox(noSupportedMeterText(), QStringLiteral("Error"), MessageButtons::Ok,
                           MessageIcon::Stop);
        return reader_status::MeterNotFound;
    }
    if (line.reader.csv) {
        print(stdout, QString::fromUtf8(readingCsvHeader()));
    }

    std::vector<std::unique_ptr<MeterReader>> readers;
    QEventLoop allDone;
    const auto finished = [&readers, &allDone] {
        if (std::all_of(readers.cbegin(), readers.cend(),
                        [](const auto& r) { return r->done.load(); })) {
            allDone.quit();
        }
    };
    for (const MeterIdentity& meter : supported) {
        auto r = std::make_unique<MeterReader>();
        MeterReader* m = r.get();
        m->meter = meter;
        const QString prefix = QStringLiteral("%1: ").arg(meter.address);
        // Each meter's messages say which meter they are about.
        m->platform = std::make_unique<SessionPlatform>(
            m->thread, console,
            [&console, prefix](const QString& text, const QString& title, MessageButtons buttons,
                               MessageIcon icon) {
                return console.messageBox(text, prefix + title, buttons, icon);
            });
        m->view = bus.view();
        m->reader = std::make_unique<HeadlessReader>(*m->view, *m->platform);
        m->reader->setInterrupted(&ConsolePlatform::interrupted);
        m->reader->setLinePrefix(prefix);
        m->reader->setPrintsCsvHeader(false);
        m->reader->setLog(log);
        m->reader->addReadingObserver(&m->statistics);
        if (!line.publish.url.isEmpty()) {
            m->publisher = makeReadingPublisher(line.publish, [prefix](QString text) {
                print(stderr, QStringLiteral("lumodm-read: %1%2\n")
                                  .arg(prefix, text.replace(QLatin1Char('\n'), QLatin1Char(' '))));
            });
            m->publisher->start({meter.modelName, meter.address, true});
            m->reader->addReadingObserver(m->publisher.get());
        }
        // A fatal end of this meter (SessionEnded) gives its own status.
        m->thread.start([m, &allDone, &finished](int status) {
            if (status != 0) {
                m->status = status;
            }
            m->done = true;
            QMetaObject::invokeMethod(&allDone, finished, Qt::QueuedConnection);
        });
        readers.push_back(std::move(r));
    }
    // A lost adapter ends every meter's reading with one message.
    std::atomic<bool> lost{false};
    bus.setLostHandler([&console, &lost] {
        if (!lost.exchange(true)) {
            console.messageBox(busLostText(), QStringLiteral("Bus Error"), MessageButtons::Ok,
                               MessageIcon::Stop);
        }
        throw SessionEnded(reader_status::ReadingFailed);
    });
    console.setInterruptHook([&readers] {
        // Wakes every reader's wait, so each sees the interrupt at once.
        for (const auto& r : readers) {
            r->thread.post([] {});
        }
    });
    for (const auto& r : readers) {
        MeterReader* m = r.get();
        m->thread.post([m, &line] {
            m->status = m->reader->run(line.reader, m->meter);
            m->thread.stop();
        });
    }
    allDone.exec();
    // Each thread may still be telling its end: join them while the loop
    // they tell it to lives.
    for (const auto& r : readers) {
        r->thread.stop();
    }

    for (const auto& r : readers) {
        if (r->publisher && !r->publisher->finish(kPublishFlush) &&
            r->status == reader_status::Ok) {
            r->status = reader_status::ReadingFailed;
        }
        worst = std::max(worst, r->status);
        if (line.reader.stats) {
            print(stderr, statisticsLine(r->statistics) +
                              QStringLiteral(" address=%1\n").arg(r->meter.address));
        }
    }
    console.setInterruptHook({});
    return worst;
}

} // namespace lumodm
