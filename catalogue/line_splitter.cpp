#include "line_splitter.h"

#include "byte_scan.h"

#include <cstring>

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr std::size_t kUtf8MarkLength = 3;

bool StartsWith(const char* bytes, std::size_t count, const char* mark, std::size_t length) {
    return count >= length && std::memcmp(bytes, mark, length) == 0;
}

// Decides on the byte order mark once the first bytes are known, and queues
// what follows it for splitting. Returns kLineReady when the stream is UTF-8
// (with or without its mark).
LineStatus CheckStart(LineSplitter& splitter) {
    splitter.startChecked = true;
    const char* bytes = splitter.start;
    const std::size_t count = splitter.startUsed;
    // UTF-32's little-endian mark begins with UTF-16's, so it is tested first.
    if (StartsWith(bytes, count, "\xFF\xFE\x00\x00", 4) ||
        StartsWith(bytes, count, "\x00\x00\xFE\xFF", 4)) {
        return kLineUtf32;
    }
    if (StartsWith(bytes, count, "\xFF\xFE", 2) || StartsWith(bytes, count, "\xFE\xFF", 2)) {
        return kLineUtf16;
    }
    // Spreadsheets write UTF-8's mark; left in place it would turn the
    // first figure or column name into something else.
    const std::size_t skip =
        StartsWith(bytes, count, kUtf8Mark, kUtf8MarkLength) ? kUtf8MarkLength : 0;
    splitter.source = ByteSpan{splitter.start + skip, count - skip};
    splitter.position = 0;
    return kLineReady;
}

InputLine MakeLine(const char* start, std::size_t length, unsigned long long number) {
    InputLine line;
    if (length > 0 && start[length - 1] == '\r') {
        line.endsWithCrLf = true;
        --length;
    }
    line.text = std::string_view(start, length);
    line.number = number;
    return line;
}

// Moves on to the queued rest of a chunk when the current bytes are used up.
bool HasUnreadBytes(LineSplitter& splitter) {
    if (splitter.position < splitter.source.size) {
        return true;
    }
    if (splitter.pending.size == 0) {
        return false;
    }
    splitter.source = splitter.pending;
    splitter.pending = ByteSpan{};
    splitter.position = 0;
    return true;
}

// The line without its line feed, once the input has ended.
LineStatus HandOutLastLine(LineSplitter& splitter, InputLine& line) {
    if (splitter.carryUsed == 0) {
        return kLineEnd;
    }
    line.text = std::string_view(splitter.carry.data(), splitter.carryUsed);
    line.endsWithCrLf = false;
    line.number = ++splitter.lineNumber;
    splitter.carryUsed = 0;
    return line.text.size() > kMaxLineLength ? kLineTooLong : kLineReady;
}

}  // namespace

void StartLineSplitter(LineSplitter& splitter) {
    // Room for the longest line, its CR, and one byte that proves it too long.
    splitter.carry.assign(kMaxLineLength + 2, '\0');
    splitter.carryUsed = 0;
    splitter.source = ByteSpan{};
    splitter.position = 0;
    splitter.pending = ByteSpan{};
    splitter.startUsed = 0;
    splitter.startChecked = false;
    splitter.inputEnded = false;
    splitter.lineNumber = 0;
}

void FeedLineSplitter(LineSplitter& splitter, const char* bytes, std::size_t count) {
    splitter.position = 0;
    if (splitter.startChecked) {
        splitter.source = ByteSpan{bytes, count};
        return;
    }
    std::size_t taken = kByteOrderMarkRoom - splitter.startUsed;
    taken = taken < count ? taken : count;
    std::memcpy(splitter.start + splitter.startUsed, bytes, taken);
    splitter.startUsed += taken;
    splitter.source = ByteSpan{};
    splitter.pending = ByteSpan{bytes + taken, count - taken};
}

void EndLineSplitter(LineSplitter& splitter) {
    splitter.inputEnded = true;
}

LineStatus NextLine(LineSplitter& splitter, InputLine& line) {
    if (!splitter.startChecked) {
        if (splitter.startUsed < kByteOrderMarkRoom && !splitter.inputEnded) {
            return kLineNeedsInput;
        }
        const LineStatus status = CheckStart(splitter);
        if (status != kLineReady) {
            return status;
        }
    }
    while (HasUnreadBytes(splitter)) {
        const char* rest = splitter.source.data + splitter.position;
        const std::size_t available = splitter.source.size - splitter.position;
        // A word at a time (byte_scan.h): as fast as the C library's
        // memchr on lines this short, and much faster in WebAssembly, whose
        // C library looks at one byte at a time.
        const std::size_t length = FindByte(std::string_view(rest, available), 0, '\n');
        const bool found = length < available;
        // Past this length no line end can make the line acceptable.
        if (splitter.carryUsed + length > kMaxLineLength + 1) {
            line = InputLine{};
            line.number = ++splitter.lineNumber;
            return kLineTooLong;
        }
        if (!found) {
            std::memcpy(splitter.carry.data() + splitter.carryUsed, rest, length);
            splitter.carryUsed += length;
            splitter.position = splitter.source.size;
            continue;
        }
        splitter.position += length + 1;
        ++splitter.lineNumber;
        if (splitter.carryUsed == 0) {
            line = MakeLine(rest, length, splitter.lineNumber);
        } else {
            std::memcpy(splitter.carry.data() + splitter.carryUsed, rest, length);
            line =
                MakeLine(splitter.carry.data(), splitter.carryUsed + length, splitter.lineNumber);
            splitter.carryUsed = 0;
        }
        return line.text.size() > kMaxLineLength ? kLineTooLong : kLineReady;
    }
    return splitter.inputEnded ? HandOutLastLine(splitter, line) : kLineNeedsInput;
}
