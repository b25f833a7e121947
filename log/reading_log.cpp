#include "log/reading_log.h"

#include "log/log_file_name.h"
#include "log/log_timestamp.h"
#include "log/reading_row.h"
#include "platform/checked_file.h"

namespace lumodm {

ReadingLog::ReadingLog(const QString& path, PlatformServices& platform, LogNaming naming)
    : path_(path), byTime_(naming == LogNaming::ByTime && hasTimeFields(path)), fileName_(path),
      platform_(platform)
{
}

QString ReadingLog::currentFile() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return fileName_;
}

bool ReadingLog::isLogging() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return file_.isOpen();
}

bool ReadingLog::open()
{
    std::unique_lock<std::mutex> lock(mutex_);
    const std::optional<LogFailure> failure =
        byTime_ ? followTime(std::chrono::system_clock::now()) : openFile(path_);
    lock.unlock();
    if (failure) {
        tellFailure(*failure);
    }
    return !failure;
}

// Expands the name at `time`, to the second: a new name closes the file
// written so far (synced) and opens the next.
std::optional<ReadingLog::LogFailure>
ReadingLog::followTime(std::chrono::system_clock::time_point time)
{
    const auto second = std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch());
    if (second.count() == nameSecond_ && file_.isOpen()) {
        return std::nullopt;
    }
    nameSecond_ = second.count();
    QString why;
    const std::optional<QString> name = expandLogFileName(path_, time, &why);
    if (!name) {
        file_.close();
        return LogFailure{QStringLiteral("Cannot name the reading log"), path_, why};
    }
    if (*name == fileName_ && file_.isOpen()) {
        return std::nullopt;
    }
    file_.close();
    fileName_ = *name;
    return openFile(fileName_);
}

std::optional<ReadingLog::LogFailure> ReadingLog::openFile(const QString& file)
{
    if (!file_.open(file, readingCsvHeader())) {
        return LogFailure{QStringLiteral("Cannot open the reading log"), file, file_.errorText()};
    }
    // A log from before the address column goes on without it.
    withAddress_ = file_.firstLine() != readingCsvHeader(false);
    if (!withAddress_ && meters_ > 1) {
        file_.close();
        return LogFailure{QStringLiteral("Cannot log several meters into the reading log"), file,
                          QStringLiteral("Its rows have no address column to tell the meters "
                                         "apart. Log them into a new file.")};
    }
    return std::nullopt;
}

void ReadingLog::close()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    file_.close();
}

void ReadingLog::readingTaken(const Reading& record)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (told_ || (!byTime_ && !file_.isOpen())) {
        return;
    }
    std::optional<LogFailure> failure;
    if (byTime_) {
        failure = followTime(record.time);
    }
    if (!failure && !file_.append(readingCsvRow(isoTimestamp(record.time), record, withAddress_))) {
        failure = LogFailure{QStringLiteral("Cannot write the reading log"), fileName_,
                             file_.errorText()};
    }
    // The box waits for the user; the other meters' rows do not.
    lock.unlock();
    if (failure) {
        tellFailure(*failure);
    }
}

// Told once, whichever meter's reading found the failure.
void ReadingLog::tellFailure(const LogFailure& failure)
{
    if (told_.exchange(true)) {
        return;
    }
    const QChar lf(10);
    platform_.messageBox(failure.what + lf + clippedForMessage(failure.file) + lf + lf +
                             failure.reason + lf + lf + failureNote_,
                         QStringLiteral("Log Error"), MessageButtons::Ok, MessageIcon::Exclamation);
}

std::unique_ptr<ReadingLog> openReadingLog(const QString& path, PlatformServices& platform,
                                           int meters, LogNaming naming)
{
    auto log = std::make_unique<ReadingLog>(path, platform, naming);
    log->setMeterCount(meters);
    log->open();
    return log;
}

} // namespace lumodm
