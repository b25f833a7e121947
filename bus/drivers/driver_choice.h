#pragma once

#include <QString>

namespace lumodm {

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
    QString simulation; // --sim=MODEL[@ADDR],...; empty: one DM5010 at 16
    QString adapter;    // --prologix / --ar488: HOST[:PORT] or a serial device
    QString library;    // --gpib-library=PATH; empty: the usual libraries
    bool trace = false; // --trace: every driver call to standard error
    int address = 0;    // --address=N: only this primary address (1-30); 0: all
};

} // namespace lumodm
