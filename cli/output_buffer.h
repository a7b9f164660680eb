// Collects output in one large block and writes it with few calls, noting the
// first failed write so that a full disk ends the run with a message instead
// of a silently short file.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

struct OutputBuffer {
    std::FILE* file = nullptr;
    std::vector<char> data;
    std::size_t used = 0;
    int writeErrno = 0;  // errno of the first failed write; 0 while all is well
};

void StartOutput(OutputBuffer& output, std::FILE* file);

// Writes the collected bytes out; the caller checks writeErrno after it.
void FlushOutput(OutputBuffer& output);

inline void AppendBytes(OutputBuffer& output, const char* bytes, std::size_t count) {
    if (output.data.size() - output.used < count) {
        FlushOutput(output);
        if (count > output.data.size()) {
            output.data.resize(count);
        }
    }
    std::memcpy(output.data.data() + output.used, bytes, count);
    output.used += count;
}

inline void AppendText(OutputBuffer& output, std::string_view text) {
    AppendBytes(output, text.data(), text.size());
}

inline void AppendChar(OutputBuffer& output, char c) {
    if (output.used == output.data.size()) {
        FlushOutput(output);
    }
    output.data[output.used++] = c;
}

// Writes what is left, flushes the C library's buffer and closes the file,
// since a write error may only show there. Returns false when any write
// failed; writeErrno then tells why.
bool FinishOutput(OutputBuffer& output);
