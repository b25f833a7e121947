#pragma once

#include "app/headless_reader_options.h"
#include "app/headless_reader_platform.h"
#include "bus/gpib_driver.h"
#include "bus/vbib32.h"
#include "bus/vbib32rv.h"
#include "controls/form1.h"
#include "log/reading_log.h"
#include "meter/reading_record.h"
#include "panel/front_panel.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace lumodm {

// lumodm-read's exit statuses.
namespace reader_status {
constexpr int Ok = 0;
constexpr int MeterNotFound = 1;
constexpr int BadOptions = 2;
constexpr int ReadingFailed = 3;
constexpr int LogFailed = 3; // the --log file could not be opened or written
} // namespace reader_status

// The meter without a window: the panel's own handlers on a window model
// that nobody sees. Identification is the panel's start-up and activation,
// a function is set with Apply (its confirmation agreed to), a range by
// picking it in the range list, and each reading is the panel's
// TakeReading. Fatal messages end the program through the platform with
// MeterNotFound before the meter is identified and ReadingFailed after.
class HeadlessReader : private ReadingObserver
{
  public:
    HeadlessReader(GpibDriver& driver, PlatformServices& platform);

    // Standard output: one line (or CSV row) per reading.
    void setOutput(std::function<void(const QByteArray&)> out) { out_ = std::move(out); }
    // The reader's own complaints, one line each, without a line end.
    void setErrorOutput(std::function<void(const QString&)> error) { error_ = std::move(error); }
    // Also told of every reading (the --log file); its model is set here.
    // A log that fails ends the readings with LogFailed.
    void setLog(ReadingLog* log) { log_ = log; }
    // Checked between readings: true ends the run after the current one.
    void setInterrupted(std::function<bool()> interrupted)
    {
        interrupted_ = std::move(interrupted);
    }
    // How --csv writes the time column from a reading's time.
    void setTimestampFormat(ReadingLog::TimestampFormat format) { timestamp_ = std::move(format); }

    // Identifies the meter, sets it up and takes the readings; returns the
    // exit status (fatal ends do not return).
    int run(const ReaderOptions& options);

    const Form1& form() const { return form_; }

  private:
    void readingTaken(const ReadingRecord& record) override;
    int setFunction(const QString& code);
    int setRange(std::int16_t range);
    int takeReadings(const ReaderOptions& options);
    void waitUntil(double deadline);
    bool interrupted() const { return interrupted_ && interrupted_(); }

    FatalStatusPlatform platform_;
    Vbib32 gpib_;
    Vbib32Rv helper_;
    Form1 form_;
    FrontPanel panel_;

    std::function<void(const QByteArray&)> out_;
    std::function<void(const QString&)> error_;
    std::function<bool()> interrupted_;
    ReadingLog::TimestampFormat timestamp_;
    ReadingLog* log_ = nullptr;
    bool csv_ = false;
    std::optional<ReadingRecord> last_;
};

} // namespace lumodm
