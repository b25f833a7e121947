#include "tests/support/scripted_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace lumodm::testing {
namespace {
std::string word(long value) { return std::to_string(value); }
std::string word(const std::string& text) { return text; }
} // namespace

template <class... Args> bool ScriptedDriver::start(const std::string& name, const Args&... args)
{
    std::string line = name;
    ((line += " " + word(args)), ...);
    log.push_back(line);
    std::deque<Outcome>& queued = outcomes_[name];
    Outcome o{gpib::CMPL, 0, 0};
    const bool scripted = !queued.empty();
    if (scripted) {
        o = queued.front();
        queued.pop_front();
    }
    status_ = {o.ibsta, o.iberr, o.count};
    if (onCall) {
        onCall();
    }
    return scripted;
}

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

int ScriptedDriver::UnregisterGpibGlobalsForThread()
{
    log.push_back("Unregister");
    return 0;
}

int ScriptedDriver::SendIFC(int board)
{
    start("SendIFC", board);
    return status_.ibsta;
}

int ScriptedDriver::ibsre(int board, int value)
{
    start("ibsre", board, value);
    return status_.ibsta;
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

int ScriptedDriver::ibpad(int ud, int primary)
{
    start("ibpad", ud, primary);
    devices_[ud].primary = primary;
    return status_.ibsta;
}

int ScriptedDriver::ibclr(int ud)
{
    start("ibclr", ud);
    return status_.ibsta;
}

int ScriptedDriver::ibrsp(int ud, char* statusByte)
{
    start("ibrsp", ud);
    *statusByte = 0;
    return status_.ibsta;
}

int ScriptedDriver::ibwrt(int ud, const char* data, long count)
{
    const QByteArray payload(data, static_cast<int>(count));
    writes.push_back(payload);
    if (!start("ibwrt", ud, "\"" + payload.toStdString() + "\"")) {
        status_.ibcntl = count;
        for (auto r = responses_.rbegin(); r != responses_.rend(); ++r) {
            if ((r->address == -1 || r->address == devices_[ud].primary) && r->command == payload) {
                queueRead(r->answer);
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
    start("ibwait", ud, std::string(hex));
    return status_.ibsta;
}

int ScriptedDriver::ibtmo(int ud, int timeoutCode)
{
    start("ibtmo", ud, timeoutCode);
    devices_[ud].timeout = timeoutCode;
    return status_.ibsta;
}

int ScriptedDriver::ibask(int ud, int option, int* value)
{
    start("ibask", ud, option);
    *value = devices_[ud].timeout;
    return status_.ibsta;
}

} // namespace lumodm::testing
