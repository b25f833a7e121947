#pragma once

#include "bus/drivers/sim/sim_device.h"
#include "bus/drivers/sim/sim_model.h"
#include "bus/drivers/sim/sim_signal.h"

#include <QByteArray>
#include <cstdint>
#include <utility>
#include <vector>

namespace lumodm {

// A simulated multimeter: its state (function, range, and on the DM5010
// the dBm calculation), its input signals, and the commands every model
// shares ("ID?", "SEND", "INIT", the plain function commands). What the
// models answer differently lives in the subclasses.
//
// Messages are split at ';'; letters may come in either case. All answers
// of one message go out together, upper case, ended by CR LF with END.
// A refused command changes nothing and leaves an error in the serial-poll
// status byte until the next poll: 0x21 for a command the model does not
// know, 0x22 for one it cannot carry out (a bad or out-of-range argument).
class SimulatedMeter : public SimDevice
{
  public:
    static constexpr std::uint8_t CommandError = 0x21;
    static constexpr std::uint8_t ExecutionError = 0x22;

    explicit SimulatedMeter(const SimModel& model);

    const SimModel& model() const { return model_; }
    QByteArray identity() const;

    // The function as the meter names it ("DCV", "ACVDB").
    QByteArray function() const { return function_->name; }
    // 0 automatic, 1 to N a fixed range of the present function.
    int range() const { return range_; }
    int rangeCount() const { return static_cast<int>(function_->ranges.size()); }
    bool dbmCalculation() const { return dbm_; }
    // Power-on state: DCV, automatic range, dBm calculation off.
    void restoreDefaults();

    // The input of a measuring function ("DCV", "ACA"; the dB functions
    // measure their base's). False for a function the model lacks.
    bool setSignal(const QByteArray& function, double value, double noise = 0.0);
    SignalSource* signal(const QByteArray& function);
    // Restart every noise generator from `seed`, for repeatable readings.
    void seedNoise(std::uint64_t seed);

    std::uint8_t pendingStatus() const { return status_; }

    // One measurement on the present function and range. `range` is the
    // range it was taken on (the automatic choice included); `overRange`
    // when the input does not fit it.
    struct Measurement
    {
        double value = 0.0;
        int range = 0;
        bool overRange = false;
    };
    Measurement measure();
    // The answer to "SEND" for a measurement.
    QByteArray readingText(const Measurement& measurement) const;

  protected:
    enum class Outcome { Unknown, Done, Refused };

    // A model's own commands. `unit` is one command, upper case, trimmed;
    // an answer, if any, goes to `answer`.
    virtual Outcome modelCommand(const QByteArray& unit, QByteArray& answer) = 0;

    const SimFunction& currentFunction() const { return *function_; }
    // Selects a function of the model on automatic range.
    bool selectFunction(const QByteArray& name);
    bool selectRange(int range);
    void setDbmCalculation(bool on) { dbm_ = on; }
    double fullScale(int range) const;

  private:
    void handleMessage(const QByteArray& message) override;
    std::uint8_t takeStatusByte() override;
    Outcome commonCommand(const QByteArray& unit, QByteArray& answer);
    void refuse(std::uint8_t code);
    double level(double input) const;

    const SimModel& model_;
    const SimFunction* function_;
    int range_ = 0;
    bool dbm_ = false;
    std::uint8_t status_ = 0;
    std::vector<std::pair<QByteArray, SignalSource>> signals_;
};

} // namespace lumodm
