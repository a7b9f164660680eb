// kemcalc's output: a ByteSink whose writer is a C stream, remembering the
// errno of the first failed write for the message.
#pragma once

#include <cstdio>

#include "byte_sink.h"

struct FileSink {
    std::FILE* file = nullptr;
    int writeErrno = 0;  // errno of the first failed write; 0 while all is well
    ByteSink sink;
};

void StartFileSink(FileSink& output, std::FILE* file);

// Writes what is left, flushes the C library's buffer and closes the file,
// since a write error may only show there. Returns false when any write
// failed; writeErrno then tells why.
bool FinishFileSink(FileSink& output);
