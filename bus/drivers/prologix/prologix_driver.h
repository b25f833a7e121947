#pragma once

#include "bus/descriptor_driver.h"
#include "bus/drivers/prologix/plus_plus_link.h"
#include "bus/drivers/prologix/plus_plus_timings.h"
#include "bus/drivers/prologix/plus_plus_transport.h"

#include <QByteArray>
#include <memory>
#include <optional>
#include <vector>

namespace lumodm {

// The driver for "++" GPIB adapters (Prologix GPIB-USB and GPIB-ETHERNET,
// AR488 and its kin) on a serial port or a TCP connection. The adapter is
// the controller; the calls become its commands:
//   ibwrt    "++addr" and the data line, CR LF ESC "+" escaped, EOI on the
//            last byte, no terminator added
//   ibrd     "++read eoi" with the device's timeout; END when the adapter
//            marks EOI with its end-of-transmission character
//   ibclr    "++clr" (selected device clear), ibrsp "++spoll",
//   SendIFC  "++ifc", ibsre "++ren" where the adapter has it
//   FindLstn AR488's "++findlstn", else a short serial poll of each address
// A dropped connection makes every later call fail with EBUS at once. A read
// ends by the device's timeout and a margin, however its bytes trickle in;
// after a timeout the next call first waits for the adapter's version line,
// which follows whatever it still sends of the old answer, and drops it all.
class PrologixDriver : public DescriptorDriver
{
  public:
    enum class Adapter { Prologix, Ar488 };

    // The character the adapter sends after the last byte of a read that
    // ended with EOI. The instruments talk ASCII text, which never holds it.
    static constexpr char EndMark = '\x04';
    // The board's own GPIB address, reported first by discovery.
    static constexpr int BoardAddress = 0;

    PrologixDriver(std::unique_ptr<PlusPlusTransport> transport, Adapter adapter,
                   PlusPlusTimings timings = {});
    ~PrologixDriver() override;

    // Opens the port or connection, waits for the adapter to answer (it may
    // be restarting) and makes it the controller. False with a message for
    // the user when it cannot.
    bool open(QString* error);

    QByteArray adapterVersion() const { return version_; }

    int SendIFC(int board) override;
    int ibsre(int board, int value) override;
    int FindLstn(int board, const std::uint16_t* addressList, std::int16_t* results,
                 int limit) override;
    int ibclr(int ud) override;
    int ibrsp(int ud, char* statusByte) override;
    int ibwrt(int ud, const char* data, long count) override;
    int ibrd(int ud, char* buffer, long count) override;
    void close() override;
    bool connectionLost() const override;

  private:
    // The rest of a message longer than the caller's buffer.
    struct Pending
    {
        int primary = -1;
        int secondary = -1;
        QByteArray data;
        bool end = false;
    };

    // Late: no answer, and the adapter did not show it was done in time.
    enum class PollResult { Answered, Silent, Garbled, Late, Lost };

    int failLost(); // the link is gone: EBUS
    // The status of a call made while the adapter is still out of step.
    int notInStep();
    // After a timeout, waits until the deadline for the adapter to be in
    // step again; false when it is not (or the connection is gone).
    bool catchUp(qint64 deadline);

    int adapterTimeoutMs(int timeoutCode) const;
    // How long a whole read may take: the device's timeout and the margin.
    int readLimitMs(int timeoutCode) const;
    void selectAddress(int primary, int secondary);
    void selectEoi(bool on);
    void selectTimeout(int ms);
    static QByteArray addressText(int primary, int secondary);

    PollResult poll(int primary, int secondary, int adapterMs, int marginMs, int* value);
    std::optional<std::vector<int>> adapterListeners();

    std::unique_ptr<PlusPlusTransport> transport_;
    PlusPlusLink link_;
    PlusPlusTimings timings_;
    // AR488 firmware has "++ren" and "++findlstn"; known by the user's
    // choice or by its version text.
    bool ar488_;
    QByteArray version_;
    Pending pending_;
    // What the adapter was last told; -1 unknown.
    int adapterPrimary_ = -1;
    int adapterSecondary_ = -1;
    int adapterEoi_ = -1;
    int adapterTimeoutMs_ = -1;
    bool outOfStep_ = false;
};

} // namespace lumodm
