#include "tests/support/scripted_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace lumodm::testing {

std::vector<std::string> ScriptedDriver::calls(const std::string& name) const
{
    std::vector<std::string> picked;
    std::copy_if(log.begin(), log.end(), std::back_inserter(picked),
                 [&](const std::string& line) { return line.substr(0, line.find(' ')) == name; });
    return picked;
}

int ScriptedDriver::RegisterGpibGlobalsForThread()
{
    log.push_back("Register");
    const int result = registerResults.empty() ? 0 : registerResults.front();
    if (!registerResults.empty()) {
        registerResults.pop_front();
    }
    return result;
}

int ScriptedDriver::FindLstn(int board, const std::uint16_t* addressList, std::int16_t* results,
                             int limit)
{
    std::string list = "[";
    // A list without its terminator would run on: stop at a sane length.
    for (int i = 0; i < 256 && addressList[i] != gpib::NOADDR; ++i) {
        list += (i ? "," : "") + word(addressList[i]);
    }
    if (!start("FindLstn", board, list + "]", limit)) {
        const long n = std::min<long>(static_cast<long>(listeners.size()), limit);
        std::copy_n(listeners.begin(), n, results);
        status_.ibcntl = n;
        if (static_cast<long>(listeners.size()) > limit) {
            status_.ibsta |= gpib::ERR;
            status_.iberr = gpib::ETAB;
        }
    }
    return status_.ibsta;
}

int ScriptedDriver::ibdev(int board, int primary, int secondary, int timeoutCode, int eoiOnLast,
                          int endOfString)
{
    start("ibdev", board, primary, secondary, timeoutCode, eoiOnLast, endOfString);
    int ud = nextDescriptor;
    if (ibdevResults.empty()) {
        ++nextDescriptor;
    } else {
        ud = ibdevResults.front();
        ibdevResults.pop_front();
    }
    devices_[ud] = Device{primary, timeoutCode};
    return ud;
}

int ScriptedDriver::ibwrt(int ud, const char* data, long count)
{
    const QByteArray payload(data, static_cast<int>(count));
    writes.push_back(payload);
    if (!start("ibwrt", ud, "\"" + payload.toStdString() + "\"")) {
        status_.ibcntl = count;
        for (int address : {devices_[ud].primary, -1}) {
            if (auto a = answers_.find({address, payload}); a != answers_.end()) {
                queueRead(a->second);
                break;
            }
        }
    }
    return status_.ibsta;
}

int ScriptedDriver::ibrd(int ud, char* buffer, long count)
{
    start("ibrd", ud, count);
    if (reads_.empty()) {
        status_ = {gpib::ERR | gpib::TIMO, gpib::EABO, 0};
    } else {
        Chunk& chunk = reads_.front();
        const long n = std::min<long>(count, chunk.data.size());
        std::memcpy(buffer, chunk.data.constData(), static_cast<std::size_t>(n));
        status_.ibcntl = n;
        if (n < chunk.data.size()) {
            chunk.data.remove(0, static_cast<int>(n));
        } else {
            status_.ibsta |= chunk.ibsta;
            status_.iberr = chunk.iberr;
            reads_.pop_front();
        }
    }
    return status_.ibsta;
}

int ScriptedDriver::ibwait(int ud, int mask)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(mask));
    return logged("ibwait", ud, std::string(hex));
}

} // namespace lumodm::testing
