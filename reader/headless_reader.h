#pragma once

#include "bus/bus_connection.h"
#include "log/reading_log.h"
#include "meter/meter_model.h"
#include "meter/reading.h"
#include "reader/fatal_status_platform.h"
#include "reader/reader_options.h"

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
    // How --csv writes the time column from a reading's time.
    void setTimestampFormat(ReadingLog::TimestampFormat format) { timestamp_ = std::move(format); }

    // The meter found by run(): its device handle and designation.
    std::int16_t device() const { return device_; }
    const QString& modelName() const { return modelName_; }

    // Identifies the meter, sets it up and takes the readings; returns the
    // exit status (fatal ends do not return).
    int run(const ReaderOptions& options);

  private:
    void readBack(bool runReading);
    int setFunction(const QString& code);
    int setRange(std::int16_t range);
    int takeReadings(const ReaderOptions& options);
    std::optional<Reading> takeReading();
    void report(const Reading& reading);
    void waitUntil(double deadline);
    bool interrupted() const { return interrupted_ && interrupted_(); }

    FatalStatusPlatform platform_;
    BusConnection bus_;
    Vbib32Rv& helper_;

    // The meter as last read back.
    std::int16_t device_ = 0;
    QString modelName_;
    MeterModel model_ = MeterModel::None;
    QString functionCode_; // the code last read back
    QString function_;     // the function the readings are checked against
    std::int16_t rangeNumber_ = 0;
    // The range list as the panel would hold it: its entries ("Auto" and
    // the ranges; none before the first read-back) and whether it is offered.
    int listEntries_ = 0;
    bool rangesOffered_ = true;
    QString unitShown_; // the unit the last reading (or the function) showed

    std::function<void(const QByteArray&)> out_;
    std::function<void(const QString&)> error_;
    std::function<bool()> interrupted_;
    ReadingLog::TimestampFormat timestamp_;
    ReadingLog* log_ = nullptr;
    std::vector<ReadingObserver*> observers_;
    bool csv_ = false;
};

} // namespace lumodm
