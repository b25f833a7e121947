#pragma once

#include "bus/gpib_driver.h"

#include <QByteArray>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace lumodm::testing {

// A GPIB driver for tests: every call is logged, every outcome is scripted.
//
// Log: one readable line per call, arguments as passed, e.g.
//   "SendIFC 0", "ibsre 0 1", "FindLstn 0 [0,1,...,30] 15", "ibdev 0 1 0 11 1 0",
//   "ibpad 17 12", "ibclr 17", "ibrsp 17", "ibwrt 17 \"ID?\"", "ibwait 17 0x4100",
//   "ibrd 17 512", "ibtmo 17 12", "ibask 17 3", "Register", "Unregister", "close".
// Texts are quoted with \r, \n, \" and \\ escaped and other unprintable
// bytes as \xNN.
//
// Outcomes: a call succeeds (ibsta = CMPL, iberr = 0) unless failNext()
// queued another outcome for that call name. Reads take the next queued
// chunk; a chunk longer than the read's count is split, the rest stays
// queued for the next read (only the last part carries END). A read with
// nothing queued times out (ERR | TIMO, iberr EABO, count 0).
//
// Devices: ibdev hands out descriptors 17, 18, ... (or the queued
// ibdevResults); each remembers its primary address and timeout code, which
// ibpad, ibtmo and ibask use. respond() makes a write of a command to an
// address queue that device's answer for the next read, so identification
// and query sequences need no hand-queued reads.
class ScriptedDriver : public GpibDriver
{
  public:
    struct Outcome
    {
        int ibsta = gpib::ERR;
        int iberr = 0;
        long count = 0;
    };
    struct ReadChunk
    {
        QByteArray data;
        int ibsta = gpib::END; // CMPL is added; TIMO/ERR as given
        int iberr = 0;
    };

    // Scripting -----------------------------------------------------------
    // The next call named `call` ("ibwrt", "FindLstn", ...) ends with this
    // status instead of success; queued per call name, oldest first.
    void failNext(const std::string& call, int iberr, int extraStatus = 0);
    void queueOutcome(const std::string& call, Outcome outcome);

    // Reads: data with END (the usual answer), or with other flags.
    void queueRead(const QByteArray& data, int ibsta = gpib::END, int iberr = 0);
    void queueTimeout() { queueRead(QByteArray(), gpib::ERR | gpib::TIMO, gpib::EABO); }
    std::deque<ReadChunk> reads;

    // A write of exactly `command` to primary address `address` (-1: any)
    // queues `answer` (with END) for the next read. A later respond() for
    // the same command overrides an earlier one.
    void respond(int address, const QByteArray& command, const QByteArray& answer);

    // FindLstn writes these words from slot 0 (at most `limit`, then ERR
    // with ETAB) and leaves their number in ibcntl.
    std::vector<std::int16_t> listeners;
    std::vector<std::uint16_t> lastAddressList; // as passed, up to NOADDR

    // ibdev results to hand out before the counter (e.g. -1 for a failure).
    std::deque<int> ibdevResults;
    int nextDescriptor = 17;

    // RegisterGpibGlobalsForThread return codes, oldest first; 0 when empty.
    std::deque<int> registerResults;
    int registerCalls = 0;
    int unregisterCalls = 0;

    // Runs after each call is logged and its outcome set (e.g. to post a
    // user's click in the middle of a query).
    std::function<void(const std::string& line)> onCall;

    // Inspection ----------------------------------------------------------
    std::vector<std::string> log;
    // Only the calls whose line starts with one of these names.
    std::vector<std::string> calls(std::initializer_list<const char*> names) const;
    std::vector<QByteArray> writes; // every ibwrt payload, in order
    int timeoutOf(int ud) const;
    int addressOf(int ud) const;
    bool closed = false;

    static std::string quoted(const char* data, long count);

    // GpibDriver ----------------------------------------------------------
    int RegisterGpibGlobalsForThread() override;
    int UnregisterGpibGlobalsForThread() override;
    int SendIFC(int board) override;
    int ibsre(int board, int value) override;
    int FindLstn(int board, const std::uint16_t* addressList, std::int16_t* results,
                 int limit) override;
    int ibdev(int board, int primary, int secondary, int timeoutCode, int eoiOnLast,
              int endOfString) override;
    int ibpad(int ud, int primary) override;
    int ibclr(int ud) override;
    int ibrsp(int ud, char* statusByte) override;
    int ibwrt(int ud, const char* data, long count) override;
    int ibrd(int ud, char* buffer, long count) override;
    int ibwait(int ud, int mask) override;
    int ibtmo(int ud, int timeoutCode) override;
    int ibask(int ud, int option, int* value) override;
    void close() override;

  private:
    struct Device
    {
        int primary = 0;
        int timeoutCode = 0;
    };
    struct Response
    {
        int address;
        QByteArray command;
        QByteArray answer;
    };

    // Logs the call; applies a queued outcome and returns true if there was one.
    bool start(const std::string& call, const std::string& line);
    int finish(const std::string& line);
    void set(int ibsta, int iberr, long count);
    Device& device(int ud) { return devices_[ud]; }

    std::map<std::string, std::deque<Outcome>> outcomes_;
    std::map<int, Device> devices_;
    std::vector<Response> responses_;
};

} // namespace lumodm::testing
