#pragma once

#include "bus/drivers/sim/sim_bus.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace lumodm::testing {

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

    // Everything up to END; empty when a read times out first.
    QByteArray read(long piece = 512)
    {
        QByteArray all;
        for (int i = 0; i < 1000; ++i) {
            QByteArray buffer(static_cast<int>(piece), ' ');
            const int sta = bus.ibrd(ud, buffer.data(), piece);
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

} // namespace lumodm::testing
