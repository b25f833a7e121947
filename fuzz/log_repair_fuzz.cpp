// The reading log opened on an existing file of any content (a row cut
// short by a crash or a full disk, a quote left open, stray bytes), then
// one row appended: that row must come out as a row of its own, after
// everything the file held that makes whole rows.
//
// Input: the file's content.
#include "fuzz/fuzz_scratch.h"
#include "log/log_file.h"

#include <QByteArray>
#include <QFile>
#include <cstddef>
#include <cstdint>

using lumodm::fuzz::check;
using lumodm::fuzz::scratchPath;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray before(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = scratchPath();
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        check(file.write(before) == before.size());
    }

    const QByteArray header("time,reading\r\n");
    const QByteArray row("2024-01-01T00:00:00.000,\"1,5\"\r\n");
    lumodm::LogFile log;
    check(log.open(path, header));
    check(log.append(row));
    log.close();

    QFile file(path);
    check(file.open(QIODevice::ReadOnly));
    const QByteArray after = file.readAll();
    check(after.endsWith(row));
    const QByteArray kept = after.left(after.size() - row.size());
    if (before.isEmpty()) {
        check(kept == header);
        return 0;
    }
    // The rows before stay as they were, ended (a few bytes added) or cut
    // back to the last whole one; the new row starts a line outside quotes.
    check(kept.endsWith('\n'));
    check((kept.startsWith(before) && kept.size() - before.size() <= 3) || before.startsWith(kept));
    check(kept.count('"') % 2 == 0);
    return 0;
}
