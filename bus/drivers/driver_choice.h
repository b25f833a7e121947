#pragma once

#include <QList>
#include <QString>

namespace lumodm {

// Which meters of the bus are served: the addresses named (--address=N or
// N,M,...), and whether every supported meter found is (--all). Neither:
// the first meter that identifies, as ever.
struct MeterSelection
{
    QList<int> addresses; // primary addresses 1 to 30, ascending, each once
    bool every = false;

    // Several meters at once, each with a panel (or a reader) of its own.
    bool several() const { return every || addresses.size() > 1; }
    bool any() const { return every || !addresses.isEmpty(); }
    bool operator==(const MeterSelection& other) const
    {
        return addresses == other.addresses && every == other.every;
    }

    // "12,14", "all", "all:12,14" or "": how the connection file keeps it.
    QString text() const;
    // The addresses of "12,14" (ascending, each once); false when the text
    // is not a list of addresses from 1 to 30.
    static bool parseAddresses(const QString& text, QList<int>* addresses);
    static MeterSelection fromText(const QString& text);
};

// The bus the program is to use, as the command line names it.
struct DriverSpec
{
    enum class Kind {
        Library,   // an NI-488.2 style library loaded at run time (the default)
        Simulated, // the built-in simulated bus and meters (--sim)
        Prologix,  // a Prologix "++" adapter (--prologix)
        Ar488,     // an AR488 "++" adapter (--ar488)
    };

    Kind kind = Kind::Library;
    QString simulation;    // --sim=MODEL[@ADDR],...; empty: one DM5010 at 16
    QString adapter;       // --prologix / --ar488: HOST[:PORT] or a serial device
    QString library;       // --gpib-library=PATH; empty: the usual libraries
    bool trace = false;    // --trace: every driver call to standard error
    MeterSelection meters; // --address, --all
};

} // namespace lumodm
