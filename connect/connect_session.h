#pragma once

#include "bus/drivers/driver_factory.h"
#include "connect/connect_model.h"

#include <QString>
#include <functional>
#include <iosfwd>
#include <optional>

namespace lumodm {

// The connection file: ~/.config/LumoDM/Connection.ini, beside the panel's
// own settings, which it leaves alone.
QString connectionFile();
std::optional<Connection> loadConnection(const QString& file);
void saveConnection(const QString& file, const Connection& connection);

// How the panel finds its bus at start. A bus on the command line is used
// as it is. Without one: the remembered connection, else the GPIB library
// (board 0), else the chooser; --choose asks first. A connection the
// chooser gave is remembered once its meter has been found.
class ConnectSession
{
  public:
    // Asks the user, on the model; nullopt: Cancel.
    using Chooser = std::function<std::optional<Connection>(ConnectModel&)>;
    // The ports to offer; the system's by default.
    using PortLister = std::function<QList<SerialPortOffer>()>;

    // `program`: the command whose options the bus's messages suggest.
    ConnectSession(QString file, QString program, std::ostream& traceOut);

    void setPortLister(PortLister lister) { ports_ = std::move(lister); }

    // `line` is the command line's bus; `busGiven` whether it named one.
    // No driver and *cancelled when the user cancelled the chooser. Without
    // a chooser (lumodm-read) a bus that does not open is the answer.
    DriverCreation open(const DriverSpec& line, bool busGiven, bool choose, const Chooser& chooser,
                        bool* cancelled);

    // The bus came from the chooser and is to be kept once its meter answers.
    bool holdsAChoice() const { return chosen_.has_value(); }
    // The meters answered: a connection the chooser gave is written to the
    // file, with the meters served (the one meter's address, the several
    // addresses, or every meter).
    void remember(const MeterSelection& served);

  private:
    // `advice`: whom a failure speaks to, the chooser's user or the command's.
    DriverCreation create(const DriverSpec& line, const Connection& connection,
                          DriverAdvice advice);

    QString file_;
    QString program_;
    std::ostream& traceOut_;
    PortLister ports_;
    std::optional<Connection> chosen_;
};

} // namespace lumodm
