// Output collected in one large block and handed to the caller's writer a
// block at a time: kemcalc writes it to a file, the browser edition to the
// page. The first failed write is remembered, so a full disk ends a run with
// a message instead of a silently short file.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>
#include <vector>

// Writes `count` bytes; returns false when they could not all be written.
using ByteWriter = bool (*)(void* context, const char* bytes, std::size_t count);

struct ByteSink {
    ByteWriter writer = nullptr;
    void* context = nullptr;
    std::vector<char> data;
    std::size_t used = 0;
    bool failed = false;  // a write failed; everything after it is dropped
};

void StartByteSink(ByteSink& sink, ByteWriter writer, void* context);

// Hands the collected bytes to the writer.
void FlushByteSink(ByteSink& sink);

// Most texts a row is made of are a few bytes long: copied byte by byte
// they cost less than a call of the library's memcpy.
constexpr std::size_t kShortCopy = 16;

inline void AppendBytes(ByteSink& sink, const char* bytes, std::size_t count) {
    if (sink.data.size() - sink.used < count) {
        FlushByteSink(sink);
        if (count > sink.data.size()) {
            sink.data.resize(count);
        }
    }
    char* out = sink.data.data() + sink.used;
    if (count <= kShortCopy) {
        for (std::size_t i = 0; i < count; ++i) {
            out[i] = bytes[i];
        }
    } else {
        std::memcpy(out, bytes, count);
    }
    sink.used += count;
}

// Room for `count` more bytes at the end of the collected output, which the
// caller writes and then counts into sink.used.
inline char* ReserveBytes(ByteSink& sink, std::size_t count) {
    if (sink.data.size() - sink.used < count) {
        FlushByteSink(sink);
        if (count > sink.data.size()) {
            sink.data.resize(count);
        }
    }
    return sink.data.data() + sink.used;
}

inline void AppendText(ByteSink& sink, std::string_view text) {
    AppendBytes(sink, text.data(), text.size());
}

inline void AppendChar(ByteSink& sink, char c) {
    if (sink.used == sink.data.size()) {
        FlushByteSink(sink);
    }
    sink.data[sink.used++] = c;
}
