#include "log/reading_log.h"

#include "log/log_timestamp.h"
#include "log/reading_row.h"
#include "platform/checked_file.h"

namespace lumodm {

ReadingLog::ReadingLog(const QString& path, PlatformServices& platform)
    : path_(path), platform_(platform)
{
}

bool ReadingLog::isLogging() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return file_.isOpen();
}

bool ReadingLog::open()
{
    const std::unique_lock<std::mutex> lock(mutex_);
    if (!file_.open(path_, readingCsvHeader())) {
        tellFailure(QStringLiteral("Cannot open the reading log"), file_.errorText());
        return false;
    }
    // A log from before the address column goes on without it.
    withAddress_ = file_.firstLine() != readingCsvHeader(false);
    if (!withAddress_ && meters_ > 1) {
        file_.close();
        tellFailure(QStringLiteral("Cannot log several meters into the reading log"),
                    QStringLiteral("Its rows have no address column to tell the meters apart. "
                                   "Log them into a new file."));
        return false;
    }
    return true;
}

void ReadingLog::close()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    file_.close();
}

void ReadingLog::readingTaken(const Reading& record)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (!file_.isOpen()) {
        return;
    }
    if (!file_.append(readingCsvRow(isoTimestamp(record.time), record, withAddress_))) {
        const QString reason = file_.errorText();
        // The box waits for the user; the other meters' rows do not.
        lock.unlock();
        tellFailure(QStringLiteral("Cannot write the reading log"), reason);
    }
}

// Told once, whichever meter's reading found the failure.
void ReadingLog::tellFailure(const QString& what, const QString& reason)
{
    if (told_.exchange(true)) {
        return;
    }
    const QChar lf(10);
    platform_.messageBox(what + lf + clippedForMessage(path_) + lf + lf + reason + lf + lf +
                             failureNote_,
                         QStringLiteral("Log Error"), MessageButtons::Ok, MessageIcon::Exclamation);
}

std::unique_ptr<ReadingLog> openReadingLog(const QString& path, PlatformServices& platform,
                                           int meters)
{
    auto log = std::make_unique<ReadingLog>(path, platform);
    log->setMeterCount(meters);
    log->open();
    return log;
}

} // namespace lumodm
