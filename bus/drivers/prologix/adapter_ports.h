#pragma once

#include "bus/drivers/prologix/plus_plus_transport.h"

#include <QList>
#include <QString>
#include <memory>

namespace lumodm {

// A serial port as the system lists it.
struct SerialPortListing
{
    QString location; // "/dev/ttyUSB0"
    QString description;
    bool hasIds = false; // USB vendor and product known
    quint16 vendor = 0;
    quint16 product = 0;
};

// The ports a "++" adapter is reached through: TCP over Qt's network
// module, serial over its serial port module. They are built into a module
// of their own, opened the first time an adapter is opened or the serial
// ports are listed, so a program on the simulated bus or a GPIB board
// never loads those libraries.
struct AdapterPorts
{
    std::unique_ptr<PlusPlusTransport> (*tcp)(const QString& host, quint16 port,
                                              int connectTimeoutMs);
    std::unique_ptr<PlusPlusTransport> (*serial)(const QString& device, qint32 baudRate);
    QList<SerialPortListing> (*serialPorts)();
};

// The module's file, and the one name it exports: a function taking
// nothing and returning its AdapterPorts (as const void*).
inline constexpr char kAdapterPortsModule[] = "lumodm-adapter-ports.so";
inline constexpr char kAdapterPortsEntry[] = "lumodm_adapter_ports";

// The module's ports, opened once and kept for the program's life; nullptr
// when it cannot be opened, with the reason in *error.
const AdapterPorts* adapterPorts(QString* error);

} // namespace lumodm
