#pragma once

#include "bus/drivers/driver_choice.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace lumodm {

// A bus and the meters to serve on it (driver.meters: the address of the
// one meter, the addresses of several, or every meter), as the connection
// chooser gives it and the connection file keeps it.
struct Connection
{
    DriverSpec driver;
    // A serial port that shows no known adapter is only tried, briefly:
    // it is as likely a built-in port with nothing to answer.
    bool briefProbe = false;
};

// Which "++" adapter a serial port seems to hold, from its USB ids or the
// description the system lists it with.
enum class AdapterGuess { Unknown, Prologix, Ar488 };

// Prologix USB adapters carry an FTDI chip; AR488 boards are Arduinos or
// their clones. The user still chooses: the guess only preselects.
AdapterGuess guessAdapter(bool hasIds, quint16 vendor, quint16 product,
                          const QString& description = {});

struct SerialPortOffer
{
    QString device;      // "/dev/ttyUSB0"
    QString description; // what the system says of it
    AdapterGuess guess = AdapterGuess::Unknown;
};

// The serial ports the system lists now.
QList<SerialPortOffer> availableSerialPorts();

// What the GPIB library attempt said.
struct LibraryReport
{
    QStringList names; // the libraries looked for
    bool loaded = false;
    QString detail; // which one loaded, or why none did
};

// The connection chooser without its window: what it offers, what it
// starts with, and the connection the user's choice makes.
class ConnectModel
{
  public:
    // None: nothing is chosen yet, and nothing can be connected.
    enum class Bus { None = -1, Board, SerialAdapter, NetworkAdapter, Simulator };
    // The simulator's models, by name.
    static const QStringList& simulatedModels();

    // It starts on the remembered connection, else the board when a library
    // loaded, else the first serial port that looks like an adapter, else
    // on nothing: the user chooses.
    ConnectModel(LibraryReport library, QList<SerialPortOffer> ports,
                 const std::optional<Connection>& remembered);

    const LibraryReport& library() const { return library_; }
    const QList<SerialPortOffer>& ports() const { return ports_; }

    // Why the last connection could not be opened; empty at first.
    QString problem;

    // The user's choice, which the window edits.
    Bus bus = Bus::None;
    QString libraryPath; // empty: the usual libraries
    int portIndex = 0;
    bool ar488 = false; // the adapter on the serial port: AR488, else Prologix
    QString host;
    int tcpPort = 1234;
    int simulatedModel = 0;  // index into simulatedModels()
    int address = 0;         // 0: every address
    bool everyMeter = false; // every meter on the bus, each with its panel

    // The connection chosen, or nullopt and *error when it names none.
    std::optional<Connection> connection(QString* error) const;

  private:
    void takeRemembered(const Connection& remembered);

    LibraryReport library_;
    QList<SerialPortOffer> ports_;
    QString rememberedPort_; // it answered once: no brief probe for it
};

} // namespace lumodm
