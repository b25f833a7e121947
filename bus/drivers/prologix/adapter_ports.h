#pragma once

#include <QList>
#include <QString>

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

// The serial ports a "++" adapter may be on, as the system lists them
// through Qt's serial port module. It is built into a module of its own,
// opened the first time the ports are listed (the chooser), so a program
// that never lists them never loads that library. The adapters' transports
// themselves are plain file descriptors and need no module.
struct AdapterPorts
{
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
