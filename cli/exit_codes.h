// The exit statuses of kemcalc, so that scripts can tell a bad catalogue from
// a mistyped command line or a full disk.
#pragma once

enum ExitCode {
    kExitOk = 0,       // every row answered
    kExitBadData = 1,  // a row or the header could not be read; nothing after it was written
    kExitUsage = 2,    // the command line was wrong; nothing was read
    kExitIo = 3,       // a file could not be opened, read or written
};
