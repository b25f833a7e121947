#include "reader/headless_reader.h"

#include "log/log_timestamp.h"
#include "log/reading_row.h"
#include "meter/function_table.h"
#include "meter/identify_meter.h"
#include "meter/meter_messages.h"
#include "meter/meter_settings.h"
#include "meter/range_command.h"
#include "platform/checked_file.h"
#include "platform/event_wait.h"

#include <algorithm>
#include <chrono>
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
      out_([](const QByteArray& bytes) {
          std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
          std::fflush(stdout); // a reader at the other end of a pipe sees each reading at once
      }),
      error_([](const QString& line) {
          const QByteArray bytes = QStringLiteral("lumodm-read: %1\n").arg(line).toUtf8();
          std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
      }),
      timestamp_([](auto time) { return isoTimestamp(time); })
{
}

int HeadlessReader::run(const ReaderOptions& options)
{
    csv_ = options.csv;

    platform_.setFatalStatus(reader_status::MeterNotFound);
    const MeterIdentity identity = identifyMeter(bus_.gpib(), helper_);
    device_ = identity.device;
    modelName_ = identity.modelName;
    model_ = identity.model;
    if (model_ == MeterModel::None) {
        platform_.messageBox(noSupportedMeterText(), QStringLiteral("Error"), MessageButtons::Ok,
                             MessageIcon::Stop);
        platform_.endProgram(reader_status::MeterNotFound);
    }
    platform_.setFatalStatus(reader_status::ReadingFailed);

    if (log_ != nullptr) {
        log_->setModel(modelName_);
    }
    readBack(false);
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

// The panel's read-back: the range cut to the list the function brings,
// and the function the readings are then checked against.
void HeadlessReader::readBack(bool runReading)
{
    const MeterSettings settings = readSettings(helper_, device_, model_);
    if (settings.known()) {
        rangeNumber_ = settings.rangeNumber;
        // A run's own read-back keeps the voltage and resistance lists.
        const bool keepsList = runReading && (settings.group == UnitGroup::Voltage ||
                                              settings.group == UnitGroup::Resistance);
        if (!keepsList) {
            listEntries_ = 1 + settings.rangeCount;
            rangesOffered_ = settings.rangeCount > 0;
        }
    }
    if (rangeNumber_ >= 1 && rangeNumber_ >= listEntries_) {
        rangeNumber_ = static_cast<std::int16_t>(std::max(listEntries_ - 1, 0));
    }
    functionCode_ = settings.functionCode;
    if (runReading) {
        return;
    }
    if (const FunctionRow* row = findFunction(functionCode_)) {
        unitShown_ = QString::fromUtf8(row->unitLabel);
        const QStringList list = functionListForModel(model_);
        if (row->listIndex < list.size()) {
            function_ = list.at(row->listIndex);
        }
    }
}

int HeadlessReader::setFunction(const QString& code)
{
    const QStringList list = functionListForModel(model_);
    if (!list.contains(code)) {
        error_(QStringLiteral("the %1 has no function %2 (it has %3)")
                   .arg(modelName_, clippedForMessage(code), list.join(QStringLiteral(", "))));
        return reader_status::BadOptions;
    }
    // As the panel's Apply: the commands, one event pass, the read-back.
    const QString command = functionCommand(code);
    helper_.GpibWrite(device_, command);
    if (needsCalcOff(command, model_)) {
        helper_.GpibWrite(device_, QStringLiteral("CALC OFF"));
    }
    platform_.processEvents(platform_.now());
    readBack(false);
    if (functionCode_ != code) {
        error_(QStringLiteral("the %1 reports the function '%2' after %3 was sent")
                   .arg(modelName_, functionCode_, code));
        return reader_status::ReadingFailed;
    }
    return reader_status::Ok;
}

int HeadlessReader::setRange(std::int16_t range)
{
    // The panel offers no range list for the diode and dB functions.
    if (!rangesOffered_) {
        error_(
            QStringLiteral("%1 on the %2 has no ranges to choose").arg(functionCode_, modelName_));
        return reader_status::BadOptions;
    }
    const int highest = listEntries_ - 1;
    if (range > highest) {
        error_(QStringLiteral("%1 on the %2 has ranges 1 to %3 and auto")
                   .arg(functionCode_, modelName_)
                   .arg(highest));
        return reader_status::BadOptions;
    }
    // As the panel's range list: nothing is sent when the meter is on the
    // range already; then the read-back, as Refresh does.
    const QString answer = helper_.GpibQuery(device_, rangeQuestion(model_));
    const float present = presentRangeNumber(model_, functionCode_, answer);
    if (present != static_cast<float>(range)) {
        helper_.GpibWrite(device_, rangeCommand(model_, functionCode_, range, present));
    }
    readBack(false);
    const bool taken = range == 0 ? rangeNumber_ <= 0 : rangeNumber_ == range;
    if (!taken) {
        error_(QStringLiteral("the %1 reports range %2 after %3 was sent")
                   .arg(modelName_, rangeCaption(rangeNumber_), rangeCaption(range)));
        return reader_status::ReadingFailed;
    }
    return reader_status::Ok;
}

int HeadlessReader::takeReadings(const ReaderOptions& options)
{
    if (csv_) {
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
        const std::optional<Reading> reading = takeReading();
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
    readBack(true);
    if (functionCode_ != function_) {
        platform_.messageBox(
            settingsMismatchFinding(modelName_) + QStringLiteral("\nlumodm-read stops."),
            QStringLiteral("Settings Error"), MessageButtons::Ok, MessageIcon::Stop);
        return std::nullopt;
    }
    const QString answer = helper_.GpibQuery(device_, QStringLiteral("SEND"));
    Reading reading = interpretReading(answer, functionCode_, model_, rangeNumber_);
    reading.time = std::chrono::system_clock::now();
    if (reading.kind == Reading::Kind::Value) {
        rangeNumber_ = reading.rangeNumber;
    }
    // The unit stands as the panel's unit label would: diode and dB
    // readings, and the hyphens, keep the one shown before.
    if (reading.kind != Reading::Kind::NoNumber && !reading.keepsUnitLabel) {
        unitShown_ = reading.unit;
    }
    reading.unit = unitShown_;
    report(reading);
    return reading;
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
        out_(readingCsvRow(timestamp_(reading.time), modelName_, reading));
        return;
    }
    QString line = reading.readoutText;
    if (!reading.unit.isEmpty()) {
        line += QLatin1Char(' ') + reading.unit;
    }
    out_(line.toUtf8() + '\n');
}

// Blocks in the event dispatcher, so a Ctrl-C (whose handler wakes it)
// ends the wait at once and no processor time is spent spinning.
void HeadlessReader::waitUntil(double deadline)
{
    waitProcessingEvents(platform_, deadline - platform_.now(), [this] { return interrupted(); });
}

} // namespace lumodm
