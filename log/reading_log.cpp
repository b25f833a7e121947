#include "log/reading_log.h"

#include "log/log_timestamp.h"
#include "log/reading_row.h"
#include "platform/checked_file.h"

namespace lumodm {

ReadingLog::ReadingLog(const QString& path, PlatformServices& platform)
    : path_(path), platform_(platform)
{
}

bool ReadingLog::open()
{
    if (file_.open(path_, readingCsvHeader())) {
        return true;
    }
    tellFailure("Cannot open the reading log");
    return false;
}

void ReadingLog::readingTaken(const Reading& record)
{
    if (!file_.isOpen()) {
        return;
    }
    if (!file_.append(readingCsvRow(isoTimestamp(record.time), model_, record))) {
        tellFailure("Cannot write the reading log");
    }
}

void ReadingLog::tellFailure(const char* what)
{
    if (told_) {
        return;
    }
    told_ = true;
    const QChar lf(10);
    platform_.messageBox(QString::fromLatin1(what) + lf + clippedForMessage(path_) + lf + lf +
                             file_.errorText() + lf + lf + failureNote_,
                         QStringLiteral("Log Error"), MessageButtons::Ok, MessageIcon::Exclamation);
}

std::unique_ptr<ReadingLog> openReadingLog(const QString& path, const QString& model,
                                           PlatformServices& platform)
{
    auto log = std::make_unique<ReadingLog>(path, platform);
    log->setModel(model);
    log->open();
    return log;
}

} // namespace lumodm
