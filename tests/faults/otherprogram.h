#pragma once

#include <QString>

namespace brevik::drill {

// Names of the clients the other program adds; no export of the drills holds them.
inline constexpr QLatin1StringView OtherProgramPrefix("Other Program Client ");

// Another program using zrdata.mdb at the same time as an import, in a process of its own.
struct OtherProgram
{
    QString database;
    QString stopFile; // it stops once this file exists
    QString logFile;  // each client it committed, as its rows stood after the commit
    // 0: it adds clients in short write transactions of its own until stopped, allocating each
    // number as the highest plus one, and now and then keeps its write lock for about 100 ms.
    // Otherwise: once the import has committed a customer, it takes the write lock as soon as
    // it is free and keeps it for this long, writing nothing.
    int longHoldMs = 0;
    // Waits for the lock through SQLite's own busy handler, as most programs do, rather than
    // asking again every fraction of a millisecond.
    bool patient = false;
};

// Runs the other program; its summary goes to standard output. Exit status 0 when it ran.
int runOtherProgram(const OtherProgram& options);

} // namespace brevik::drill
