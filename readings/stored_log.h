#pragma once

#include "meter/reading.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace lumodm {

class LogReader;

// What a stored log held, once it is all in its window: its readings, the
// rows skipped, and why the reading stopped early (empty when it did not).
struct StoredLogCount
{
    std::int64_t readings = 0;
    std::int64_t skipped = 0;
    QString error;
};

// "12 readings, 1 row skipped", "1 reading, 0 rows skipped"
QString storedLogCountText(const StoredLogCount& count);

// A reading log read back for a readings window, a batch of rows at a
// time, with how far it has come.
class StoredLog
{
  public:
    static constexpr std::size_t kBatchRows = 4096;

    StoredLog();
    ~StoredLog();

    // False, with the reason naming the file in errorText(), when the log
    // cannot be opened.
    bool open(const QString& path);
    QString errorText() const;

    // Replaces `batch` with the readings of the next rows; false once the
    // log is read to its end (or cannot be read further).
    bool readBatch(std::vector<Reading>& batch);
    // How much of the file is read, 0 to 99 until the end.
    int percentRead() const;
    StoredLogCount count() const;

  private:
    std::unique_ptr<LogReader> reader_;
};

} // namespace lumodm
