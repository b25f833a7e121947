#include "bus/drivers/trace_driver.h"

#include "bus/drivers/trace_format.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace lumodm {

namespace {

std::string args(std::initializer_list<std::string> parts)
{
    std::string text;
    for (const std::string& p : parts) {
        text += text.empty() ? "" : ", ";
        text += p;
    }
    return text;
}

std::string named(const char* name, long long value)
{
    return std::string(name) + " " + std::to_string(value);
}

std::string duration(std::chrono::steady_clock::duration elapsed)
{
    const double seconds = std::chrono::duration<double>(elapsed).count();
    char text[32];
    if (seconds >= 1.0) {
        std::snprintf(text, sizeof text, "%.3f s", seconds);
    } else {
        std::snprintf(text, sizeof text, "%.1f ms", seconds * 1000.0);
    }
    return text;
}

// The part of a buffer a call filled: ibcntl bytes, never beyond the buffer.
long filled(const GpibStatus& status, long capacity)
{
    return static_cast<long>(std::clamp<std::int64_t>(status.ibcntl, 0, std::max(capacity, 0L)));
}

} // namespace

TraceDriver::TraceDriver(std::unique_ptr<GpibDriver> inner, std::ostream& out)
    : ForwardingDriver(std::move(inner)), out_(out)
{
}

void TraceDriver::write(const std::string& line)
{
    out_ << "gpib: " << line << '\n' << std::flush;
}

void TraceDriver::report(const std::string& call, Clock::time_point started,
                         const std::string& result)
{
    const auto elapsed = Clock::now() - started;
    std::string line = call + " -> ";
    if (!result.empty()) {
        line += result + ", ";
    }
    line += trace::statusText(status_) + "  [" + duration(elapsed) + "]";
    write(line);
}

int TraceDriver::RegisterGpibGlobalsForThread()
{
    const int result = ForwardingDriver::RegisterGpibGlobalsForThread();
    write("RegisterGpibGlobalsForThread() -> " + std::to_string(result));
    return result;
}

int TraceDriver::UnregisterGpibGlobalsForThread()
{
    const int result = ForwardingDriver::UnregisterGpibGlobalsForThread();
    write("UnregisterGpibGlobalsForThread() -> " + std::to_string(result));
    return result;
}

int TraceDriver::SendIFC(int board)
{
    const auto started = Clock::now();
    ForwardingDriver::SendIFC(board);
    report("SendIFC(" + named("board", board) + ")", started, {});
    return status_.ibsta;
}

int TraceDriver::ibsre(int board, int value)
{
    const auto started = Clock::now();
    ForwardingDriver::ibsre(board, value);
    report("ibsre(" + args({named("board", board), std::to_string(value)}) + ")", started, {});
    return status_.ibsta;
}

int TraceDriver::FindLstn(int board, const std::uint16_t* addressList, std::int16_t* results,
                          int limit)
{
    const auto started = Clock::now();
    const std::string call =
        "FindLstn(" +
        args({named("board", board), trace::addressList(addressList), named("limit", limit)}) + ")";
    ForwardingDriver::FindLstn(board, addressList, results, limit);
    const GpibStatus& s = status();
    const auto found = std::clamp<std::int64_t>(s.ibcntl, 0, std::max(limit, 0));
    report(call, started, trace::foundList(results, found));
    return status_.ibsta;
}

int TraceDriver::ibdev(int board, int primary, int secondary, int timeoutCode, int eoiOnLast,
                       int endOfString)
{
    const auto started = Clock::now();
    const int ud =
        ForwardingDriver::ibdev(board, primary, secondary, timeoutCode, eoiOnLast, endOfString);
    char eos[16];
    std::snprintf(eos, sizeof eos, "eos 0x%x", static_cast<unsigned>(endOfString));
    report("ibdev(" +
               args({named("board", board), named("pad", primary), named("sad", secondary),
                     named("tmo", timeoutCode), named("eot", eoiOnLast), eos}) +
               ")",
           started, named("ud", ud));
    return ud;
}

int TraceDriver::ibpad(int ud, int primary)
{
    const auto started = Clock::now();
    ForwardingDriver::ibpad(ud, primary);
    report("ibpad(" + args({named("ud", ud), std::to_string(primary)}) + ")", started, {});
    return status_.ibsta;
}

int TraceDriver::ibclr(int ud)
{
    const auto started = Clock::now();
    ForwardingDriver::ibclr(ud);
    report("ibclr(" + named("ud", ud) + ")", started, {});
    return status_.ibsta;
}

int TraceDriver::ibrsp(int ud, char* statusByte)
{
    const auto started = Clock::now();
    ForwardingDriver::ibrsp(ud, statusByte);
    std::string result;
    if ((status().ibsta & gpib::ERR) == 0 && statusByte != nullptr) {
        char text[32];
        std::snprintf(text, sizeof text, "status byte 0x%02x",
                      static_cast<unsigned>(static_cast<unsigned char>(*statusByte)));
        result = text;
    }
    report("ibrsp(" + named("ud", ud) + ")", started, result);
    return status_.ibsta;
}

int TraceDriver::ibwrt(int ud, const char* data, long count)
{
    const auto started = Clock::now();
    // The text is taken before the call: the caller may reuse its buffer.
    const std::string call =
        "ibwrt(" + args({named("ud", ud), trace::quoted(data, count), std::to_string(count)}) + ")";
    ForwardingDriver::ibwrt(ud, data, count);
    report(call, started, {});
    return status_.ibsta;
}

int TraceDriver::ibrd(int ud, char* buffer, long count)
{
    const auto started = Clock::now();
    ForwardingDriver::ibrd(ud, buffer, count);
    const long got = filled(status(), count);
    report("ibrd(" + args({named("ud", ud), std::to_string(count)}) + ")", started,
           trace::quoted(buffer, got));
    return status_.ibsta;
}

int TraceDriver::ibwait(int ud, int mask)
{
    const auto started = Clock::now();
    ForwardingDriver::ibwait(ud, mask);
    char text[32];
    std::snprintf(text, sizeof text, "mask 0x%04x", static_cast<unsigned>(mask) & 0xFFFFu);
    report("ibwait(" + args({named("ud", ud), text}) + ")", started, {});
    return status_.ibsta;
}

int TraceDriver::ibtmo(int ud, int timeoutCode)
{
    const auto started = Clock::now();
    ForwardingDriver::ibtmo(ud, timeoutCode);
    report("ibtmo(" + args({named("ud", ud), std::to_string(timeoutCode)}) + ")", started, {});
    return status_.ibsta;
}

int TraceDriver::ibask(int ud, int option, int* value)
{
    const auto started = Clock::now();
    ForwardingDriver::ibask(ud, option, value);
    std::string result;
    if ((status().ibsta & gpib::ERR) == 0 && value != nullptr) {
        result = named("value", *value);
    }
    char opt[32];
    std::snprintf(opt, sizeof opt, "option 0x%x", static_cast<unsigned>(option));
    report("ibask(" + args({named("ud", ud), opt}) + ")", started, result);
    return status_.ibsta;
}

void TraceDriver::close()
{
    ForwardingDriver::close();
    write("close()");
}

} // namespace lumodm
