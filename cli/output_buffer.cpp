#include "output_buffer.h"

#include <cerrno>

namespace {

constexpr std::size_t kOutputBlockSize = 1 << 18;

void NoteWriteError(OutputBuffer& output) {
    if (output.writeErrno == 0) {
        output.writeErrno = errno != 0 ? errno : EIO;
    }
}

}  // namespace

void StartOutput(OutputBuffer& output, std::FILE* file) {
    output.file = file;
    output.data.assign(kOutputBlockSize, '\0');
    output.used = 0;
    output.writeErrno = 0;
}

void FlushOutput(OutputBuffer& output) {
    if (output.used == 0) {
        return;
    }
    // After a failure the rest is dropped: the run is ending with an error.
    if (output.writeErrno == 0) {
        errno = 0;
        if (std::fwrite(output.data.data(), 1, output.used, output.file) != output.used) {
            NoteWriteError(output);
        }
    }
    output.used = 0;
}

bool FinishOutput(OutputBuffer& output) {
    FlushOutput(output);
    errno = 0;
    if (std::fflush(output.file) != 0 || std::ferror(output.file)) {
        NoteWriteError(output);
    }
    errno = 0;
    if (std::fclose(output.file) != 0) {
        NoteWriteError(output);
    }
    output.file = nullptr;
    return output.writeErrno == 0;
}
