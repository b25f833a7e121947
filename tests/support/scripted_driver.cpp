#include "tests/support/scripted_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace lumodm::testing {

void ScriptedDriver::failNext(const std::string& call, int iberr, int extraStatus)
{
    queueOutcome(call, Outcome{gpib::ERR | extraStatus, iberr, 0});
}

void ScriptedDriver::queueOutcome(const std::string& call, Outcome outcome)
{
    outcomes_[call].push_back(outcome);
}

void ScriptedDriver::queueRead(const QByteArray& data, int ibsta, int iberr)
{
    reads.push_back(ReadChunk{data, ibsta, iberr});
}

void ScriptedDriver::respond(int address, const QByteArray& command, const QByteArray& answer)
{
    responses_.push_back(Response{address, command, answer});
}

std::vector<std::string> ScriptedDriver::calls(std::initializer_list<const char*> names) const
{
    std::vector<std::string> picked;
    for (const std::string& line : log) {
        const std::string name = line.substr(0, line.find(' '));
        if (std::any_of(names.begin(), names.end(), [&](const char* n) { return name == n; })) {
            picked.push_back(line);
        }
    }
    return picked;
}

int ScriptedDriver::timeoutOf(int ud) const
{
    auto it = devices_.find(ud);
    return it == devices_.end() ? -1 : it->second.timeoutCode;
}

int ScriptedDriver::addressOf(int ud) const
{
    auto it = devices_.find(ud);
    return it == devices_.end() ? -1 : it->second.primary;
}

std::string ScriptedDriver::quoted(const char* data, long count)
{
    std::string out = "\"";
    for (long i = 0; i < count; ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        switch (c) {
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (c >= 0x20 && c < 0x7F) {
                out += static_cast<char>(c);
            } else {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                out += hex;
            }
        }
    }
    return out + "\"";
}

bool ScriptedDriver::start(const std::string& call, const std::string& line)
{
    log.push_back(line);
    auto it = outcomes_.find(call);
    if (it == outcomes_.end() || it->second.empty()) {
        set(gpib::CMPL, 0, 0);
        return false;
    }
    const Outcome o = it->second.front();
    it->second.pop_front();
    set(o.ibsta, o.iberr, o.count);
    return true;
}

int ScriptedDriver::finish(const std::string& line)
{
    if (onCall) {
        onCall(line);
    }
    return status_.ibsta;
}

void ScriptedDriver::set(int ibsta, int iberr, long count)
{
    status_.ibsta = ibsta;
    status_.iberr = iberr;
    status_.ibcntl = count;
}

int ScriptedDriver::RegisterGpibGlobalsForThread()
{
    log.push_back("Register");
    ++registerCalls;
    int result = 0;
    if (!registerResults.empty()) {
        result = registerResults.front();
        registerResults.pop_front();
    }
    return result;
}

int ScriptedDriver::UnregisterGpibGlobalsForThread()
{
    log.push_back("Unregister");
    ++unregisterCalls;
    return 0;
}

int ScriptedDriver::SendIFC(int board)
{
    const std::string line = "SendIFC " + std::to_string(board);
    start("SendIFC", line);
    return finish(line);
}

int ScriptedDriver::ibsre(int board, int value)
{
    const std::string line = "ibsre " + std::to_string(board) + " " + std::to_string(value);
    start("ibsre", line);
    return finish(line);
}

int ScriptedDriver::FindLstn(int board, const std::uint16_t* addressList, std::int16_t* results,
                             int limit)
{
    lastAddressList.clear();
    std::string list = "[";
    // A list without its terminator would run on: stop at a sane length.
    for (int i = 0; i < 256 && addressList[i] != gpib::NOADDR; ++i) {
        lastAddressList.push_back(addressList[i]);
        list += (i ? "," : "") + std::to_string(addressList[i]);
    }
    list += "]";
    const std::string line =
        "FindLstn " + std::to_string(board) + " " + list + " " + std::to_string(limit);
    if (!start("FindLstn", line)) {
        const long n = std::min<long>(static_cast<long>(listeners.size()), limit);
        for (long i = 0; i < n; ++i) {
            results[i] = listeners[static_cast<std::size_t>(i)];
        }
        if (static_cast<long>(listeners.size()) > limit) {
            set(gpib::ERR | gpib::CMPL, gpib::ETAB, n);
        } else {
            set(gpib::CMPL, 0, n);
        }
    }
    return finish(line);
}

int ScriptedDriver::ibdev(int board, int primary, int secondary, int timeoutCode, int eoiOnLast,
                          int endOfString)
{
    const std::string line = "ibdev " + std::to_string(board) + " " + std::to_string(primary) +
                             " " + std::to_string(secondary) + " " + std::to_string(timeoutCode) +
                             " " + std::to_string(eoiOnLast) + " " + std::to_string(endOfString);
    int ud = -1;
    if (!start("ibdev", line)) {
        if (!ibdevResults.empty()) {
            ud = ibdevResults.front();
            ibdevResults.pop_front();
        } else {
            ud = nextDescriptor++;
        }
        if (ud >= 0) {
            devices_[ud] = Device{primary, timeoutCode};
        }
    }
    finish(line);
    return ud;
}

int ScriptedDriver::ibpad(int ud, int primary)
{
    const std::string line = "ibpad " + std::to_string(ud) + " " + std::to_string(primary);
    if (!start("ibpad", line)) {
        device(ud).primary = primary;
    }
    return finish(line);
}

int ScriptedDriver::ibclr(int ud)
{
    const std::string line = "ibclr " + std::to_string(ud);
    start("ibclr", line);
    return finish(line);
}

int ScriptedDriver::ibrsp(int ud, char* statusByte)
{
    const std::string line = "ibrsp " + std::to_string(ud);
    if (!start("ibrsp", line)) {
        *statusByte = 0;
    }
    return finish(line);
}

int ScriptedDriver::ibwrt(int ud, const char* data, long count)
{
    const std::string line = "ibwrt " + std::to_string(ud) + " " + quoted(data, count);
    const QByteArray payload(data, static_cast<int>(count));
    writes.push_back(payload);
    if (!start("ibwrt", line)) {
        set(gpib::CMPL, 0, count);
        const int address = device(ud).primary;
        // The latest answer given for a command wins, so a test can change it.
        for (auto r = responses_.rbegin(); r != responses_.rend(); ++r) {
            if ((r->address == -1 || r->address == address) && r->command == payload) {
                queueRead(r->answer);
                break;
            }
        }
    }
    return finish(line);
}

int ScriptedDriver::ibrd(int ud, char* buffer, long count)
{
    const std::string line = "ibrd " + std::to_string(ud) + " " + std::to_string(count);
    if (!start("ibrd", line)) {
        if (reads.empty()) {
            set(gpib::ERR | gpib::TIMO, gpib::EABO, 0);
        } else {
            ReadChunk& chunk = reads.front();
            const long n = std::min<long>(count, chunk.data.size());
            std::memcpy(buffer, chunk.data.constData(), static_cast<std::size_t>(n));
            if (n < chunk.data.size()) {
                // The rest is read next time; only the last part ends.
                chunk.data.remove(0, static_cast<int>(n));
                set(gpib::CMPL, 0, n);
            } else {
                set(chunk.ibsta | gpib::CMPL, chunk.iberr, n);
                reads.pop_front();
            }
        }
    }
    return finish(line);
}

int ScriptedDriver::ibwait(int ud, int mask)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(mask));
    const std::string line = "ibwait " + std::to_string(ud) + " " + hex;
    start("ibwait", line);
    return finish(line);
}

int ScriptedDriver::ibtmo(int ud, int timeoutCode)
{
    const std::string line = "ibtmo " + std::to_string(ud) + " " + std::to_string(timeoutCode);
    if (!start("ibtmo", line)) {
        device(ud).timeoutCode = timeoutCode;
    }
    return finish(line);
}

int ScriptedDriver::ibask(int ud, int option, int* value)
{
    const std::string line = "ibask " + std::to_string(ud) + " " + std::to_string(option);
    if (!start("ibask", line)) {
        if (option == gpib::IbcTMO) {
            *value = device(ud).timeoutCode;
        } else if (option == gpib::IbcPAD) {
            *value = device(ud).primary;
        } else {
            set(gpib::ERR, gpib::EARG, 0);
        }
    }
    return finish(line);
}

void ScriptedDriver::close()
{
    log.push_back("close");
    closed = true;
}

} // namespace lumodm::testing
