#include "line_reader.h"

#include <cerrno>
#include <cstring>

namespace {

// Large blocks keep the number of read calls small; the extra room holds one
// unfinished line of the maximum length and its CR LF.
constexpr std::size_t kReadBlockSize = 1 << 18;
constexpr std::size_t kBufferSize = kReadBlockSize + kMaxLineLength + 2;
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr std::size_t kByteOrderMarkLength = 3;

// Moves the unfinished line to the front and appends the next block. Returns
// false at the end of the file or on a read error.
bool FillBuffer(LineReader& reader) {
    std::size_t pending = reader.end - reader.begin;
    if (reader.begin != 0) {
        std::memmove(reader.buffer.data(), reader.buffer.data() + reader.begin, pending);
        reader.begin = 0;
        reader.end = pending;
    }
    std::size_t room = reader.buffer.size() - reader.end;
    std::size_t count = std::fread(reader.buffer.data() + reader.end, 1, room, reader.file);
    reader.end += count;
    if (count == 0) {
        if (std::ferror(reader.file)) {
            reader.readErrno = errno != 0 ? errno : EIO;
        }
        reader.atEnd = true;
        return false;
    }
    return true;
}

Line MakeLine(const char* start, std::size_t length) {
    Line line;
    if (length > 0 && start[length - 1] == '\r') {
        line.endsWithCrLf = true;
        --length;
    }
    line.text = std::string_view(start, length);
    return line;
}

}  // namespace

void StartLineReader(LineReader& reader, std::FILE* file) {
    reader.file = file;
    reader.buffer.assign(kBufferSize, '\0');
    reader.begin = 0;
    reader.end = 0;
    reader.scanned = 0;
    reader.lineNumber = 0;
    reader.atEnd = false;
    reader.readErrno = 0;
    // Reading the first block here lets the byte order mark be dropped once.
    errno = 0;
    while (reader.end < kByteOrderMarkLength && FillBuffer(reader)) {
    }
    if (reader.end >= kByteOrderMarkLength &&
        std::memcmp(reader.buffer.data(), kByteOrderMark, kByteOrderMarkLength) == 0) {
        reader.begin = kByteOrderMarkLength;
    }
}

LineStatus ReadLine(LineReader& reader, Line& line) {
    for (;;) {
        const char* start = reader.buffer.data() + reader.begin;
        std::size_t available = reader.end - reader.begin;
        const void* found = std::memchr(start + reader.scanned, '\n', available - reader.scanned);
        if (found != nullptr) {
            std::size_t length = static_cast<std::size_t>(static_cast<const char*>(found) - start);
            line = MakeLine(start, length);
            reader.begin += length + 1;
            reader.scanned = 0;
            ++reader.lineNumber;
            return line.text.size() > kMaxLineLength ? kLineTooLong : kLineRead;
        }
        reader.scanned = available;
        // Past this length no line end can make the line acceptable.
        if (available > kMaxLineLength + 1) {
            ++reader.lineNumber;
            return kLineTooLong;
        }
        if (reader.atEnd || !FillBuffer(reader)) {
            if (reader.readErrno != 0) {
                return kLineReadFailed;
            }
            if (reader.begin == reader.end) {
                return kLineEnd;
            }
            // The last line has no line feed: what stands there is still a line.
            line.text =
                std::string_view(reader.buffer.data() + reader.begin, reader.end - reader.begin);
            line.endsWithCrLf = false;
            reader.begin = reader.end;
            reader.scanned = 0;
            ++reader.lineNumber;
            return line.text.size() > kMaxLineLength ? kLineTooLong : kLineRead;
        }
    }
}
