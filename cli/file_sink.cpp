#include "file_sink.h"

#include <cerrno>

namespace {

void NoteWriteError(FileSink& output) {
    if (output.writeErrno == 0) {
        output.writeErrno = errno != 0 ? errno : EIO;
    }
}

bool WriteToFile(void* context, const char* bytes, std::size_t count) {
    FileSink& output = *static_cast<FileSink*>(context);
    errno = 0;
    if (std::fwrite(bytes, 1, count, output.file) != count) {
        NoteWriteError(output);
        return false;
    }
    return true;
}

}  // namespace

void StartFileSink(FileSink& output, std::FILE* file) {
    output.file = file;
    output.writeErrno = 0;
    StartByteSink(output.sink, WriteToFile, &output);
}

bool FinishFileSink(FileSink& output) {
    FlushByteSink(output.sink);
    errno = 0;
    if (std::fflush(output.file) != 0 || std::ferror(output.file)) {
        NoteWriteError(output);
    }
    errno = 0;
    if (std::fclose(output.file) != 0) {
        NoteWriteError(output);
    }
    output.file = nullptr;
    return output.writeErrno == 0 && !output.sink.failed;
}
