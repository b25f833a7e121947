#pragma once

#include "log/log_file.h"
#include "meter/reading.h"
#include "platform/platform_services.h"

#include <QString>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>

namespace lumodm {

// The reading log (--log=FILE): one CSV row per displayed reading, of one
// meter or of several at once (each reading names its meter; the rows may
// come from several threads). A file that cannot be opened or written is
// told to the user once, in a "Log Error" box naming the file and the
// reason; from then on readings are simply not logged and nothing else
// changes (isLogging() tells). A log written before the address column
// keeps its eight columns, so its rows always match its header.
//
// Named by time (--log), a name with fields of the time in it
// ("bench-%Y-%m-%d.csv") is expanded at each reading's own local time, and a
// reading whose name differs from the open file's starts the next file with
// its header: each row lands in the file its time names, once.
enum class LogNaming { Literal, ByTime };

class ReadingLog : public ReadingObserver
{
  public:
    ReadingLog(const QString& path, PlatformServices& platform,
               LogNaming naming = LogNaming::Literal);

    // How many meters will log into it (one unless told): a log without
    // the address column cannot tell several apart and is refused.
    void setMeterCount(int meters) { meters_ = meters; }

    // Opens the file; false (after the message) when it cannot be.
    bool open();
    // Syncs and closes the file, from any thread; readings still told
    // afterwards are not logged.
    void close();
    bool isLogging() const;
    const QString& path() const { return path_; }
    // The file written now: the path, or its expansion when named by time.
    QString currentFile() const;

    // The box's last line: what happens now that the log has failed.
    void setFailureNote(const QString& note) { failureNote_ = note; }

    void readingTaken(const Reading& record) override;

  private:
    struct LogFailure
    {
        QString what;
        QString file;
        QString reason;
    };
    std::optional<LogFailure> openFile(const QString& file);
    std::optional<LogFailure> followTime(std::chrono::system_clock::time_point time);
    void tellFailure(const LogFailure& failure);

    QString path_;
    bool byTime_ = false;
    QString fileName_;
    std::chrono::system_clock::time_point::rep nameSecond_ = -1;
    PlatformServices& platform_;
    mutable std::mutex mutex_;
    LogFile file_;
    int meters_ = 1;
    bool withAddress_ = true;
    QString failureNote_ = QStringLiteral("Readings are not logged from here on.");
    std::atomic<bool> told_{false};
};

// One call for the programs: the log for `path`, already opened (a failure
// has been told and the log stays silent). Never null; register it with
// FrontPanel::addReadingObserver.
std::unique_ptr<ReadingLog> openReadingLog(const QString& path, PlatformServices& platform,
                                           int meters = 1, LogNaming naming = LogNaming::Literal);

} // namespace lumodm
