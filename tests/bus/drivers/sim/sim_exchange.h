#pragma once

#include "bus/drivers/sim/sim_bus.h"
#include "bus/drivers/sim/sim_meter_factory.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace lumodm::testing {

const QByteArray Dm5010Id = "ID LUMO/DM5010,V79.1 F1.1\r\n";

// Driver-level exchanges with a simulated device, as a controller makes
// them: a write with EOI, reads of up to `piece` bytes until END.
struct SimExchange
{
    SimulatedBus& bus;
    int ud;

    SimExchange(SimulatedBus& b, int address) : bus(b), ud(b.ibdev(0, address, 0, 11, 1, 0)) {}

    int write(const QByteArray& text)
    {
        return bus.ibwrt(ud, text.constData(), static_cast<long>(text.size()));
    }

    int readInto(QByteArray& buffer, long count)
    {
        buffer = QByteArray(static_cast<int>(count), ' ');
        return bus.ibrd(ud, buffer.data(), count);
    }

    // Everything up to END; empty when a read times out first.
    QByteArray read(long piece = 512)
    {
        QByteArray all;
        for (int i = 0; i < 1000; ++i) {
            QByteArray buffer;
            const int sta = readInto(buffer, piece);
            if (sta & gpib::TIMO) {
                return {};
            }
            all += buffer.left(static_cast<int>(bus.status().ibcntl));
            if (sta & gpib::END) {
                return all;
            }
        }
        ADD_FAILURE() << "no END after 1000 reads";
        return all;
    }

    QByteArray query(const QByteArray& text)
    {
        write(text);
        return read();
    }

    std::uint8_t poll()
    {
        char byte = 0;
        bus.ibrsp(ud, &byte);
        return static_cast<std::uint8_t>(byte);
    }
};

// One simulated meter at address 16 and a controller's descriptor for it.
struct SimMeterOnBus
{
    SimulatedBus bus;
    SimulatedMeter* meter;
    SimExchange io;

    explicit SimMeterOnBus(const char* model)
        : meter(bus.addMeter(createSimulatedMeter(model), 16)), io(bus, 16)
    {
    }

    // The answer without its line end.
    QByteArray ask(const QByteArray& command) { return io.query(command).chopped(2); }
};

} // namespace lumodm::testing
