// A stored reading log of any content read back, once in the blocks and
// with the row bound the program uses and once a few bytes at a time: both
// must find the same rows, take the same readings and skip the same rows,
// so that where a block ends never changes what a row holds.
//
// Input: one byte for the small block size, then the file's content.
#include "fuzz/fuzz_scratch.h"
#include "log/log_reader.h"

#include <QByteArray>
#include <QFile>
#include <cstddef>
#include <cstdint>

using lumodm::fuzz::check;
using lumodm::fuzz::scratchPath;

namespace {

struct Outcome
{
    bool opened;
    std::vector<lumodm::Reading> readings;
    std::int64_t skipped;
};

Outcome readAll(lumodm::LogReader& reader, const QString& path)
{
    Outcome out{reader.open(path), {}, 0};
    while (out.opened && reader.read(out.readings, 7)) {
    }
    out.skipped = reader.skippedRows();
    check(reader.readings() == static_cast<std::int64_t>(out.readings.size()));
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) {
        return 0;
    }
    const std::size_t block = 1 + data[0] % 16;
    const QByteArray content(reinterpret_cast<const char*>(data) + 1,
                             static_cast<qsizetype>(size - 1));
    const QString path = scratchPath();
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        check(file.write(content) == content.size());
    }
    lumodm::LogReader whole;
    lumodm::LogReader bytes(block, lumodm::LogReader::kLongestRow);
    const Outcome a = readAll(whole, path);
    const Outcome b = readAll(bytes, path);
    check(a.opened == b.opened && a.skipped == b.skipped && a.readings.size() == b.readings.size());
    for (std::size_t i = 0; i < a.readings.size(); ++i) {
        check(a.readings[i].time == b.readings[i].time &&
              a.readings[i].rawAnswer == b.readings[i].rawAnswer &&
              a.readings[i].readoutText == b.readings[i].readoutText);
    }
    // Every row read or skipped ended at a line feed, or at the end.
    check(static_cast<std::int64_t>(a.readings.size()) + a.skipped <= content.count('\n') + 1);
    return 0;
}
