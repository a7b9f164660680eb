#include "byte_sink.h"

namespace {

// Large blocks keep the number of writes small.
constexpr std::size_t kSinkBlockSize = 1 << 18;

}  // namespace

void StartByteSink(ByteSink& sink, ByteWriter writer, void* context) {
    sink.writer = writer;
    sink.context = context;
    sink.data.assign(kSinkBlockSize, '\0');
    sink.used = 0;
    sink.failed = false;
}

void FlushByteSink(ByteSink& sink) {
    if (sink.used == 0) {
        return;
    }
    // After a failure the rest is dropped: the run is ending with an error.
    if (!sink.failed && !sink.writer(sink.context, sink.data.data(), sink.used)) {
        sink.failed = true;
    }
    sink.used = 0;
}
