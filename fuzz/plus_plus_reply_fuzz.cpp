// The "++" adapter driver on whatever an adapter may send back: open, a
// listener search, queries with their reads in pieces, a serial poll and a
// device clear, over a connection that may stall, trickle or close. Also the
// reply texts alone: status bytes, address lists, and the escaping of data.
//
// Input: byte 0 flags (bit 0 AR488, bit 1 search for listeners, bits 2..3
// the device timeout: 1 s, 3 s, 10 s or none), then the adapter's output as
// records: a header byte (bits 0..5 the length, bits 6..7 the pause before
// the record: 0, 20, 200 or 2000 ms; 0xC0 closes the connection) and that
// many bytes.
#include "bus/drivers/prologix/plus_plus_text.h"
#include "bus/drivers/prologix/prologix_driver.h"
#include "bus/gpib_driver.h"

#include <QByteArray>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <memory>

namespace {

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

// Replays the records on a clock that moves only while the driver waits.
class FuzzTransport : public lumodm::PlusPlusTransport
{
  public:
    struct Record
    {
        qint64 pauseMs = 0;
        QByteArray bytes;
        bool closes = false;
    };
    std::deque<Record> records;

    bool open(QString*) override { return true; }
    void close() override { gone_ = true; }
    bool send(const QByteArray&) override { return !gone_; }
    QByteArray receive(int timeoutMs, bool* lost) override
    {
        check(timeoutMs >= 0);
        if (!gone_ && !records.empty() && records.front().closes &&
            records.front().pauseMs <= timeoutMs) {
            now_ += records.front().pauseMs;
            records.pop_front();
            gone_ = true;
        }
        if (gone_) {
            *lost = true;
            return {};
        }
        if (records.empty() || records.front().pauseMs > timeoutMs) {
            if (!records.empty()) {
                records.front().pauseMs -= timeoutMs;
            }
            now_ += timeoutMs;
            return {};
        }
        now_ += records.front().pauseMs;
        QByteArray bytes = records.front().bytes;
        records.pop_front();
        return bytes;
    }
    qint64 nowMs() override { return now_; }
    QString describe() const override { return QStringLiteral("fuzz"); }

  private:
    qint64 now_ = 0;
    bool gone_ = false;
};

void checkTexts(const QByteArray& text)
{
    if (const std::optional<int> byte = lumodm::plusplus::statusByte(text)) {
        check(*byte >= 0 && *byte <= 255);
    }
    const std::vector<int> addresses = lumodm::plusplus::addressesIn(text);
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        check(addresses[i] >= 0 && addresses[i] <= 30);
        check(std::count(addresses.begin(), addresses.end(), addresses[i]) == 1);
    }
    // Escaped data is one line that gives back exactly the data.
    const QByteArray line = lumodm::plusplus::escaped(text.constData(), text.size());
    QByteArray back;
    for (qsizetype i = 0; i < line.size(); ++i) {
        check(line[i] != '\r' && line[i] != '\n');
        if (line[i] == '\x1b') {
            ++i;
            check(i < line.size());
        } else {
            check(line[i] != '+');
        }
        back += line[i];
    }
    check(back == text);
}

// Every call leaves a sane status.
int checked(lumodm::GpibDriver& driver, int sta, long count)
{
    const lumodm::GpibStatus s = driver.status();
    check(s.ibsta == sta);
    check(s.ibcntl >= 0 && s.ibcntl <= std::max<long>(count, 0));
    if ((sta & lumodm::gpib::ERR) != 0) {
        check(s.iberr >= 0);
        check((sta & lumodm::gpib::END) == 0);
    }
    return sta;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) {
        return 0;
    }
    const unsigned flags = data[0];
    const QByteArray rest(reinterpret_cast<const char*>(data + 1),
                          static_cast<qsizetype>(size - 1));
    checkTexts(rest);

    auto transport = std::make_unique<FuzzTransport>();
    static const qint64 pauses[] = {0, 20, 200, 2000};
    for (qsizetype i = 0; i < rest.size();) {
        const auto header = static_cast<unsigned char>(rest[i++]);
        FuzzTransport::Record record;
        record.pauseMs = pauses[header >> 6];
        record.closes = header == 0xC0;
        record.bytes = rest.mid(i, header & 0x3F);
        i += record.bytes.size();
        transport->records.push_back(record);
    }
    FuzzTransport& wire = *transport;
    const bool ar488 = (flags & 1u) != 0;
    const lumodm::PlusPlusTimings timings;
    lumodm::PrologixDriver driver(std::move(transport),
                                  ar488 ? lumodm::PrologixDriver::Adapter::Ar488
                                        : lumodm::PrologixDriver::Adapter::Prologix,
                                  timings);

    QString error;
    const bool opened = driver.open(&error);
    check(opened || !error.isEmpty());
    check(wire.nowMs() <= timings.startupMs + 3 * timings.syncMs);
    if (!opened) {
        return 0;
    }

    if ((flags & 2u) != 0) {
        checked(driver, driver.SendIFC(0), 0);
        checked(driver, driver.ibsre(0, 1), 0);
        std::uint16_t addresses[32];
        for (std::uint16_t a = 0; a <= 30; ++a) {
            addresses[a] = a;
        }
        addresses[31] = lumodm::gpib::NOADDR;
        std::int16_t found[15];
        const int sta = checked(driver, driver.FindLstn(0, addresses, found, 15), 15);
        if ((sta & lumodm::gpib::ERR) == 0) {
            const auto n = static_cast<int>(driver.status().ibcntl);
            for (int i = 0; i < n; ++i) {
                check(found[i] >= 0 && found[i] <= 30);
                check(i == 0 || found[i] > found[i - 1]);
            }
        }
    }

    static const int timeoutCodes[] = {lumodm::gpib::T1s, lumodm::gpib::T3s, 13, 0};
    const int timeoutCode = timeoutCodes[(flags >> 2) & 3u];
    const int ud = driver.ibdev(0, 16, 0, timeoutCode, 1, 0);
    check(ud > 0);
    // The longest a read may take, the "++" driver's promise: longer on an
    // AR488, asked for or known by its version text.
    const bool ar488Commands = ar488 || driver.adapterVersion().toUpper().contains("AR488");
    const qint64 longestRead =
        (timeoutCode == 0 ? (ar488Commands ? 32000 : 3000)
                          : static_cast<qint64>(lumodm::gpib::timeoutSeconds(timeoutCode) * 1000)) +
        timings.marginMs;

    static const QByteArray commands[] = {QByteArray("ID?"), QByteArray("SEND\r\n\x1b+", 9)};
    for (const QByteArray& command : commands) {
        checked(driver, driver.ibwrt(ud, command.constData(), command.size()), command.size());
        char buffer[16];
        for (int piece = 0; piece < 256; ++piece) {
            const qint64 before = wire.nowMs();
            const int sta = checked(driver, driver.ibrd(ud, buffer, sizeof buffer), sizeof buffer);
            check(wire.nowMs() - before <= longestRead);
            const QByteArray got(buffer, static_cast<qsizetype>(driver.status().ibcntl));
            check(!got.contains('\0') && !got.contains(lumodm::PrologixDriver::EndMark));
            if ((sta & (lumodm::gpib::END | lumodm::gpib::ERR)) != 0) {
                break;
            }
        }
    }
    char byte = 0;
    const int sta = checked(driver, driver.ibrsp(ud, &byte), 1);
    if ((sta & lumodm::gpib::ERR) == 0) {
        check(driver.status().ibcntl == 1);
    }
    checked(driver, driver.ibclr(ud), 0);
    driver.close();
    return 0;
}
