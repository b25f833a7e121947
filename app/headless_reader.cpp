#include "app/headless_reader.h"

#include "log/log_timestamp.h"
#include "log/reading_row.h"
#include "meter/take_reading.h"

#include <cstdio>

namespace lumodm {

HeadlessReader::HeadlessReader(GpibDriver& driver, PlatformServices& platform)
    : platform_(platform), gpib_(driver), helper_(gpib_, platform_),
      panel_(form_, gpib_, helper_, platform_), out_([](const QByteArray& bytes) {
          std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
          std::fflush(stdout); // a reader at the other end of a pipe sees each reading at once
      }),
      error_([](const QString& line) {
          const QByteArray bytes = QStringLiteral("lumodm-read: %1\n").arg(line).toUtf8();
          std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
      }),
      timestamp_([](auto time) { return isoTimestamp(time); })
{
    panel_.setReadingObserver(this);
}

int HeadlessReader::run(const ReaderOptions& options)
{
    csv_ = options.csv;

    platform_.setFatalStatus(reader_status::MeterNotFound);
    panel_.Form_Load();
    panel_.Form_Activate(); // ends the program unless a supported model answered
    platform_.setFatalStatus(reader_status::ReadingFailed);

    if (log_ != nullptr) {
        log_->setModel(form_.state.ModelName);
    }
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
    const PanelState& s = form_.state;
    const int index = static_cast<int>(form_.Combo_Mode.items().indexOf(code));
    if (index < 0) {
        error_(QStringLiteral("the %1 has no function %2 (it has %3)")
                   .arg(s.ModelName, code, form_.Combo_Mode.items().join(QStringLiteral(", "))));
        return reader_status::BadOptions;
    }
    // As a user would: pick it, then Apply (its question is agreed to).
    form_.Combo_Mode.userSelect(index);
    panel_.Button_Apply_Click();
    if (s.FunctionCode != code) {
        error_(QStringLiteral("the %1 reports the function '%2' after %3 was sent")
                   .arg(s.ModelName, s.FunctionCode, code));
        return reader_status::ReadingFailed;
    }
    return reader_status::Ok;
}

int HeadlessReader::setRange(std::int16_t range)
{
    const PanelState& s = form_.state;
    // The panel offers no range list for the diode and dB functions.
    if (!form_.Label_Range.visible) {
        error_(QStringLiteral("%1 on the %2 has no ranges to choose")
                   .arg(s.FunctionCode, s.ModelName));
        return reader_status::BadOptions;
    }
    const int highest = form_.Combo_Range.listCount() - 1;
    if (range > highest) {
        error_(QStringLiteral("%1 on the %2 has ranges 1 to %3 and auto")
                   .arg(s.FunctionCode, s.ModelName)
                   .arg(highest));
        return reader_status::BadOptions;
    }
    // As a user would: open the list, pick the entry (sent at once), then
    // read the settings back as Refresh does.
    if (!form_.Combo_Range.visible) {
        panel_.Label_Range_DblClick();
    }
    form_.Combo_Range.userSelect(range);
    form_.Combo_Range.visible = false;
    panel_.Button_Refresh_Click();
    const bool taken = range == 0 ? s.RangeNumber <= 0 : s.RangeNumber == range;
    if (!taken) {
        error_(QStringLiteral("the %1 reports range %2 after %3 was sent")
                   .arg(s.ModelName, form_.Label_Range.caption, form_.Combo_Range.item(range)));
        return reader_status::ReadingFailed;
    }
    return reader_status::Ok;
}

int HeadlessReader::takeReadings(const ReaderOptions& options)
{
    PanelState& s = form_.state;
    // As during the panel's run: the range list shut, Run taken.
    form_.Combo_Range.visible = false;
    form_.Button_Run.enabled = false;
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
        s.StopRequested = kFalse;
        last_.reset();
        TakeReading(panel_.meter());
        if (log_ != nullptr && !log_->isLogging()) {
            return reader_status::LogFailed; // the log has said why
        }
        if (!last_ || last_->kind == ReadingRecord::Kind::NoReading) {
            failed = true;
        }
        // A meter found on another function stops the panel's run; it
        // stops the reader too, as every further reading would fail alike.
        if (!last_ && s.StopRequested != kFalse) {
            break;
        }
    }
    return failed ? reader_status::ReadingFailed : reader_status::Ok;
}

// Blocks in the event dispatcher, so a Ctrl-C (whose handler wakes it)
// ends the wait at once and no processor time is spent spinning.
void HeadlessReader::waitUntil(double deadline)
{
    while (!interrupted() && platform_.now() < deadline) {
        platform_.processEvents(deadline);
    }
}

void HeadlessReader::readingTaken(const ReadingRecord& record)
{
    last_ = record;
    if (log_ != nullptr) {
        log_->readingTaken(record);
    }
    if (csv_) {
        out_(readingCsvRow(timestamp_(record.time), form_.state.ModelName, record));
        return;
    }
    QString line = record.readoutText;
    if (!record.unit.isEmpty()) {
        line += QLatin1Char(' ') + record.unit;
    }
    out_(line.toUtf8() + '\n');
}

} // namespace lumodm
