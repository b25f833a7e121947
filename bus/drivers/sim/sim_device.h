#pragma once

#include "bus/drivers/sim/sim_faults.h"
#include "bus/drivers/sim/sim_log.h"

#include <QByteArray>
#include <cstdint>

namespace lumodm {

// Anything that sits on the simulated bus at a primary address: it takes
// messages ended by EOI, queues answers for the controller to read, and
// answers a serial poll. Its faults (SimFaults) act here, so every kind of
// device can misbehave the same way.
class SimDevice
{
  public:
    virtual ~SimDevice() = default;

    int address() const { return address_; }
    void setAddress(int address) { address_ = address; }

    SimFaults& faults() { return faults_; }
    const SimLog& log() const { return log_; }
    SimLog& log() { return log_; }

    // The bus side. Each operation first asks whether the device is there;
    // an absent device counts the attempt towards its return.
    bool attend();
    // Bytes of a message; `eoi` marks its last byte. Returns -1, or the
    // iberr of a write fault.
    int write(const char* data, long count, bool eoi);

    struct ReadResult
    {
        long count = 0;
        bool end = false;
        bool timeout = false;
    };
    ReadResult read(char* buffer, long count);
    // Device clear: forget the message being received and the unread answer.
    void deviceClear();
    // The status byte; reading it clears it.
    std::uint8_t serialPoll();

    bool hasUnreadAnswer() const { return readPosition_ < output_.size(); }

  protected:
    // A complete message, exactly as received.
    virtual void handleMessage(const QByteArray& message) = 0;
    virtual std::uint8_t takeStatusByte() { return 0; }

    // Queue an answer (without line end): CR LF is added and the answer
    // faults applied.
    void sendAnswer(const QByteArray& body);

  private:
    static constexpr int MaxMessageLength = 64 * 1024;

    void leaveBus();

    int address_ = 0;
    SimFaults faults_;
    SimLog log_;
    QByteArray input_;
    bool inputOverflow_ = false;
    QByteArray output_;
    qsizetype readPosition_ = 0;
};

} // namespace lumodm
