#pragma once

#include "bus/bus_connection.h"
#include "log/reading_log.h"
#include "meter/meter_model.h"
#include "meter/reading.h"
#include "reader/fatal_status_platform.h"
#include "reader/reader_options.h"
#include "session/meter_session.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace lumodm {

// lumodm-read's exit statuses.
namespace reader_status {
constexpr int Ok = 0;
constexpr int MeterNotFound = 1;
constexpr int BadOptions = 2;
constexpr int ReadingFailed = 3;
constexpr int LogFailed = 3;           // the --log file could not be opened or written
constexpr int ReadingsUnconfirmed = 3; // --publish: the broker did not confirm every reading
} // namespace reader_status

// The meter without a window: identifies it as the panel does at start,
// sets the function and range as the panel's Apply and range list do, and
// takes each reading as the panel's run does (read-back, settings check,
// "SEND"). Fatal messages end the program through the platform with
// MeterNotFound before the meter is identified and ReadingFailed after.
class HeadlessReader
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
    // Told of every reading too (statistics, publishing).
    void addReadingObserver(ReadingObserver* observer) { observers_.push_back(observer); }
    // Checked between readings: true ends the run after the current one.
    void setInterrupted(std::function<bool()> interrupted)
    {
        interrupted_ = std::move(interrupted);
    }

    // The meter found by run(): its device handle and designation.
    std::int16_t device() const { return session_.identity().device; }
    const MeterIdentity& meter() const { return session_.identity(); }
    const QString& modelName() const { return session_.modelName(); }

    // Identifies the meter, sets it up and takes the readings; returns the
    // exit status (fatal ends do not return).
    int run(const ReaderOptions& options);
    // The same for a meter identified already (one of several on the bus).
    int run(const ReaderOptions& options, const MeterIdentity& meter);

    // One of several meters: each plain line starts with this ("12: "),
    // and the CSV header is printed once by whoever prints the rows' start.
    void setLinePrefix(const QString& prefix) { linePrefix_ = prefix; }
    void setPrintsCsvHeader(bool prints) { printsCsvHeader_ = prints; }

  private:
    int setFunction(const QString& code);
    int setRange(std::int16_t range);
    int takeReadings(const ReaderOptions& options);
    std::optional<Reading> takeReading();
    void noteShortInterval(double interval, std::int64_t cycleMs);
    void report(const Reading& reading);
    void waitUntil(double deadline);
    bool interrupted() const { return interrupted_ && interrupted_(); }

    FatalStatusPlatform platform_;
    BusConnection bus_;
    Vbib32Rv& helper_;
    MeterSession session_;

    std::function<void(const QByteArray&)> out_;
    std::function<void(const QString&)> error_;
    std::function<bool()> interrupted_;
    ReadingLog* log_ = nullptr;
    std::vector<ReadingObserver*> observers_;
    bool csv_ = false;
    bool printsCsvHeader_ = true;
    QString linePrefix_;
};

} // namespace lumodm
