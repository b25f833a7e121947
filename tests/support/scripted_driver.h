#pragma once

#include "bus/gpib_driver.h"

#include <QByteArray>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace lumodm::testing {

// A GPIB driver for tests: every call is logged as one line of its name and
// arguments ("ibdev 0 1 0 11 1 0", "ibwrt 17 \"ID?\"", "ibwait 17 0x4100",
// "Register"), and succeeds unless an outcome was queued for its name.
// ibdev hands out descriptors 17, 18, ... (or the queued ibdevResults); each
// remembers its address and timeout. Reads take the next queued chunk (a
// longer one is split; only its last part carries the chunk's status); with
// none queued a read times out.
class ScriptedDriver : public GpibDriver
{
  public:
    struct Outcome
    {
        int ibsta = gpib::ERR;
        int iberr = 0;
        long count = 0;
    };
    void queueOutcome(const std::string& call, Outcome o) { outcomes_[call].push_back(o); }
    void failNext(const std::string& call, int iberr) { queueOutcome(call, {gpib::ERR, iberr}); }
    void queueRead(const QByteArray& data, int ibsta = gpib::END, int iberr = 0)
    {
        reads_.push_back({data, ibsta, iberr});
    }
    // A write of `command` to `address` (or, failing that, -1: any) queues `answer`.
    void respond(int address, const QByteArray& command, const QByteArray& answer)
    {
        answers_[{address, command}] = answer;
    }

    std::vector<std::int16_t> listeners; // what FindLstn finds
    std::deque<int> ibdevResults;
    int nextDescriptor = 17;
    std::deque<int> registerResults; // RegisterGpibGlobalsForThread's, then 0
    std::function<void()> onCall;    // after each call is logged
    bool lost = false;               // what connectionLost() says

    std::vector<std::string> log;
    std::vector<QByteArray> writes;
    std::vector<std::string> calls(const std::string& name) const;
    int timeoutOf(int ud) { return devices_[ud].timeout; }

    int RegisterGpibGlobalsForThread() override;
    int UnregisterGpibGlobalsForThread() override
    {
        log.push_back("Unregister");
        return 0;
    }
    void close() override { log.push_back("close"); }
    bool connectionLost() const override { return lost; }
    int SendIFC(int board) override { return logged("SendIFC", board); }
    int ibsre(int board, int value) override { return logged("ibsre", board, value); }
    int FindLstn(int board, const std::uint16_t* addressList, std::int16_t* results,
                 int limit) override;
    int ibdev(int board, int primary, int secondary, int timeoutCode, int eoiOnLast,
              int endOfString) override;
    int ibpad(int ud, int primary) override
    {
        return devices_[ud].primary = primary, logged("ibpad", ud, primary);
    }
    int ibclr(int ud) override { return logged("ibclr", ud); }
    int ibrsp(int ud, char* statusByte) override { return *statusByte = 0, logged("ibrsp", ud); }
    int ibwrt(int ud, const char* data, long count) override;
    int ibrd(int ud, char* buffer, long count) override;
    int ibwait(int ud, int mask) override;
    int ibtmo(int ud, int code) override
    {
        return devices_[ud].timeout = code, logged("ibtmo", ud, code);
    }
    int ibask(int ud, int option, int* value) override
    {
        return *value = devices_[ud].timeout, logged("ibask", ud, option);
    }

  private:
    struct Chunk
    {
        QByteArray data;
        int ibsta;
        int iberr;
    };
    struct Device
    {
        int primary = 0;
        int timeout = 0;
    };

    static std::string word(long value) { return std::to_string(value); }
    static std::string word(const std::string& text) { return text; }
    // Logs the call and sets its status; true when a queued outcome failed it.
    template <class... Args> bool start(const std::string& name, const Args&... args)
    {
        std::string line = name;
        ((line += " " + word(args)), ...);
        log.push_back(line);
        std::deque<Outcome>& queued = outcomes_[name];
        const Outcome o = queued.empty() ? Outcome{gpib::CMPL} : queued.front();
        if (!queued.empty()) {
            queued.pop_front();
        }
        status_ = {o.ibsta, o.iberr, o.count};
        if (onCall) {
            onCall();
        }
        return o.ibsta != gpib::CMPL || o.iberr != 0;
    }
    template <class... Args> int logged(const std::string& name, const Args&... args)
    {
        start(name, args...);
        return status_.ibsta;
    }

    std::map<std::string, std::deque<Outcome>> outcomes_;
    std::deque<Chunk> reads_;
    std::map<std::pair<int, QByteArray>, QByteArray> answers_;
    std::map<int, Device> devices_;
};

} // namespace lumodm::testing
