#pragma once
// The last synchronisation sweep as the service's diagnostic log tells it:
// the entry lines from its last "SYNC_START" line to the "SYNC_FINISHED"
// line after it, with what the sweep did in between.
#include <QString>
#include <optional>

struct LastSweep {
    QString start;  // the start line's time, as the log writes it
    QString end;    // the end line's time; empty while the sweep runs (or was cut short)
    int checkIns = 0;
    int checkOuts = 0;
    int moves = 0;
    int swaps = 0;
    int errors = 0;  // error and warning entries
    // The end line's time of the last sweep that finished: `end`, or while
    // the last one runs, that of the sweep before it; empty when none did.
    QString lastFinished;
};

// The last sweep in the log file; nullopt when it holds none. Raises
// platform::Error when the file cannot be read.
std::optional<LastSweep> readLastSweep(const QString& logFile);
