#pragma once

#include <QByteArray>
#include <QString>

namespace lumodm {

// A CSV file opened for appending rows that survive a crash: each row goes
// to the operating system in one write and is synced to the disk before
// the next, so at most the row being written is lost. An existing file is
// never truncated; a last row cut short by an earlier crash is ended first.
class LogFile
{
  public:
    LogFile() = default;
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;
    ~LogFile();

    // Opens (creating) `path`; writes `header` when the file is new or
    // empty. On failure returns false with the reason in errorText().
    bool open(const QString& path, const QByteArray& header);
    bool isOpen() const { return fd_ >= 0; }

    // Writes one whole row; false with the reason in errorText() when the
    // row could not be written completely.
    bool append(const QByteArray& row);

    void close();
    QString errorText() const { return error_; }

  private:
    bool writeAll(const QByteArray& bytes);
    bool endPartialRow(long long size);
    void fail(int errorNumber);

    int fd_ = -1;
    bool regularFile_ = false;
    QString error_;
};

} // namespace lumodm
