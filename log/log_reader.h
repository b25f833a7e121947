#pragma once

#include "log/log_row_decoder.h"
#include "meter/reading.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace lumodm {

// Reads a stored reading log back a block at a time, so that a log of any
// size costs the same memory. The file is opened for reading only, after
// the rule for every file the program reads; nothing is ever written to
// it. Rows that hold no reading are skipped and counted: a bad time or
// number, too few fields, a row longer than any the log writes, and a last
// row cut short by a crash.
class LogReader
{
  public:
    static constexpr std::size_t kBlockBytes = 1 << 20;
    // Far beyond the longest row the log writes (an answer of 64 KiB).
    static constexpr std::size_t kLongestRow = 1 << 20;

    // Smaller sizes than these serve to try the edges of blocks and rows.
    explicit LogReader(std::size_t blockBytes = kBlockBytes, std::size_t longestRow = kLongestRow);
    LogReader(const LogReader&) = delete;
    LogReader& operator=(const LogReader&) = delete;
    ~LogReader();

    // Opens the log at `path` and reads its header; false with the reason
    // (naming the file) in errorText().
    bool open(const QString& path);

    // Appends the readings of the next rows, up to `maxRows` rows read or
    // skipped, to `out`. False once the log is read to its end, or when it
    // cannot be read further (errorText() then says why).
    bool read(std::vector<Reading>& out, std::size_t maxRows);

    std::int64_t readings() const { return readings_; }
    std::int64_t skippedRows() const { return skipped_; }
    // How far the reading has come, for a progress report.
    std::int64_t bytesRead() const { return bytesRead_; }
    std::int64_t fileSize() const { return fileSize_; }
    const QString& errorText() const { return error_; }

  private:
    bool fill();
    const char* nextRow();

    std::size_t blockBytes_;
    std::size_t longestRow_;
    QString path_;
    int fd_ = -1;
    std::vector<char> buffer_;
    std::size_t begin_ = 0; // the unread bytes in buffer_
    std::size_t end_ = 0;
    bool atEnd_ = false;
    LogRowDecoder decoder_;
    std::int64_t readings_ = 0;
    std::int64_t skipped_ = 0;
    std::int64_t bytesRead_ = 0;
    std::int64_t fileSize_ = 0;
    QString error_;
};

} // namespace lumodm
