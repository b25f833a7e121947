#include "reader/headless_reader.h"

#include "log/log_timestamp.h"
#include "log/reading_row.h"
#include "meter/function_table.h"
#include "meter/identify_meter.h"
#include "meter/meter_messages.h"
#include "meter/range_command.h"
#include "platform/checked_file.h"
#include "platform/event_wait.h"

#include <cmath>
#include <cstdio>

namespace lumodm {

namespace {

QString rangeCaption(std::int16_t rangeNumber)
{
    return rangeNumber >= 1 ? rangeEntryText(rangeNumber) : QStringLiteral("Auto");
}

} // namespace

HeadlessReader::HeadlessReader(GpibDriver& driver, PlatformServices& platform)
    : platform_(platform), bus_(driver, platform_), helper_(bus_.helper()),
      session_(helper_, platform_), out_([](const QByteArray& bytes) {
          std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
          std::fflush(stdout); // a reader at the other end of a pipe sees each reading at once
      }),
      error_([](const QString& line) {
          const QByteArray bytes = QStringLiteral("lumodm-read: %1\n").arg(line).toUtf8();
          std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
      })
{
}

int HeadlessReader::run(const ReaderOptions& options)
{
    platform_.setFatalStatus(reader_status::MeterNotFound);
    return run(options, identifyMeter(bus_.gpib(), helper_));
}

int HeadlessReader::run(const ReaderOptions& options, const MeterIdentity& meter)
{
    csv_ = options.csv;
    platform_.setFatalStatus(reader_status::MeterNotFound);
    session_.adopt(meter);
    if (session_.model() == MeterModel::None) {
        platform_.messageBox(noSupportedMeterText(), QStringLiteral("Error"), MessageButtons::Ok,
                             MessageIcon::Stop);
        platform_.endProgram(reader_status::MeterNotFound);
    }
    platform_.setFatalStatus(reader_status::ReadingFailed);

    session_.readBack(false, true);
    if (!options.function.isEmpty()) {
        if (const int status = setFunction(options.function); status != reader_status::Ok) {
            return status;
        }
    }
    if (options.range) {
        if (const int status = setRange(*options.range); status != reader_status::Ok) {
            return status;
        }
    }
    return takeReadings(options);
}

int HeadlessReader::setFunction(const QString& code)
{
    const QStringList list = functionListForModel(session_.model());
    if (!list.contains(code)) {
        error_(QStringLiteral("the %1 has no function %2 (it has %3)")
                   .arg(modelName(), clippedForMessage(code), list.join(QStringLiteral(", "))));
        return reader_status::BadOptions;
    }
    // As the panel's Apply: the commands, one event pass, the read-back.
    session_.sendFunction(code);
    session_.readBack(false, true);
    if (session_.shownFunction() != code) {
        error_(QStringLiteral("the %1 reports the function '%2' after %3 was sent")
                   .arg(modelName(), session_.shownFunction(), code));
        return reader_status::ReadingFailed;
    }
    return reader_status::Ok;
}

int HeadlessReader::setRange(std::int16_t range)
{
    const QString& function = session_.shownFunction();
    // The panel offers no range list for the diode and dB functions.
    const int highest = session_.listEntries() - 1;
    if (highest < 1) {
        error_(QStringLiteral("%1 on the %2 has no ranges to choose").arg(function, modelName()));
        return reader_status::BadOptions;
    }
    if (range > highest) {
        error_(QStringLiteral("%1 on the %2 has ranges 1 to %3 and auto")
                   .arg(function, modelName())
                   .arg(highest));
        return reader_status::BadOptions;
    }
    // As the panel's range list, then the read-back, as Refresh does.
    session_.sendRange(range, session_.askPresentRange());
    session_.readBack(false, true);
    const std::int16_t now = session_.rangeNumber();
    const bool taken = range == 0 ? now <= 0 : now == range;
    if (!taken) {
        error_(QStringLiteral("the %1 reports range %2 after %3 was sent")
                   .arg(modelName(), rangeCaption(now), rangeCaption(range)));
        return reader_status::ReadingFailed;
    }
    return reader_status::Ok;
}

int HeadlessReader::takeReadings(const ReaderOptions& options)
{
    if (csv_ && printsCsvHeader_) {
        out_(readingCsvHeader());
    }

    bool failed = false;
    double next = platform_.now();
    for (long long taken = 0; options.count == 0 || taken < options.count; ++taken) {
        if (taken > 0) {
            waitUntil(next);
        }
        if (interrupted()) {
            break;
        }
        next = platform_.now() + options.interval;
        const std::int64_t waitedBefore = helper_.specifiedWaitMs();
        const std::optional<Reading> reading = takeReading();
        if (taken == 0 && options.count != 1) {
            noteShortInterval(options.interval, helper_.specifiedWaitMs() - waitedBefore);
        }
        if (log_ != nullptr && !log_->isLogging()) {
            return reader_status::LogFailed; // the log has said why
        }
        // A meter found on another function stops the reader, as it stops
        // the panel's run: every further reading would fail alike.
        if (!reading) {
            failed = true;
            break;
        }
        if (reading->kind == Reading::Kind::NoNumber) {
            failed = true;
        }
    }
    return failed ? reader_status::ReadingFailed : reader_status::Ok;
}

std::optional<Reading> HeadlessReader::takeReading()
{
    const MeterSession::ReadBack back = session_.readBack(true, false);
    if (back.functionCode != session_.checkedFunction()) {
        platform_.messageBox(
            settingsMismatchFinding(modelName()) + QStringLiteral("\nlumodm-read stops."),
            QStringLiteral("Settings Error"), MessageButtons::Ok, MessageIcon::Stop);
        return std::nullopt;
    }
    const Reading reading = session_.takeReading();
    report(reading);
    return reading;
}

// A reading takes at least the waits of its queries; an interval shorter
// than that cannot be kept, and 0 asks for no pause at all.
void HeadlessReader::noteShortInterval(double interval, std::int64_t cycleMs)
{
    if (interval > 0.0 && std::llround(interval * 1000.0) < cycleMs) {
        error_(QStringLiteral("%1--interval=%2 is shorter than a reading on the %3, whose "
                              "queries wait %4 s: the readings follow one another without a "
                              "pause")
                   .arg(linePrefix_, QString::number(interval), modelName(),
                        QString::number(static_cast<double>(cycleMs) / 1000.0)));
    }
}

void HeadlessReader::report(const Reading& reading)
{
    if (log_ != nullptr) {
        log_->readingTaken(reading);
    }
    for (ReadingObserver* observer : observers_) {
        observer->readingTaken(reading);
    }
    if (csv_) {
        out_(readingCsvRow(isoTimestamp(reading.time), reading));
        return;
    }
    // An overflow or a failed reading is no quantity in the unit shown.
    QString line = reading.readoutText;
    if (reading.kind == Reading::Kind::Value && !reading.unit.isEmpty()) {
        line += QLatin1Char(' ') + reading.unit;
    }
    if (!linePrefix_.isEmpty()) {
        // "12: 1.4999 V": the readout's sign blank gives way to the prefix.
        qsizetype first = 0;
        while (first < line.size() && line.at(first) == QLatin1Char(' ')) {
            ++first;
        }
        line = linePrefix_ + line.mid(first);
    }
    out_(line.toUtf8() + '\n');
}

// Blocks in the event dispatcher, so a Ctrl-C (whose handler wakes it)
// ends the wait at once and no processor time is spent spinning.
void HeadlessReader::waitUntil(double deadline)
{
    waitServingInput(platform_, deadline - platform_.now(), [this] { return interrupted(); });
}

} // namespace lumodm
