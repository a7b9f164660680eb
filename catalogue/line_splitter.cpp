#include "line_splitter.h"

#include "byte_scan.h"

#include <cstring>

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr std::size_t kUtf8MarkLength = 3;

bool StartsWith(const char* bytes, std::size_t count, const char* mark, std::size_t length) {
    return count >= length && std::memcmp(bytes, mark, length) == 0;
}

// A zip archive, which an .xlsx or .ods workbook is, or the compound file of
// an old .xls: read as text it would be columns of binary.
bool IsWorkbookStart(const char* bytes, std::size_t count) {
    return StartsWith(bytes, count, "PK\x03\x04", 4) ||
           StartsWith(bytes, count, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
}

// Decides on the byte order mark and the signatures once the first bytes are
// known, and queues what follows the mark for splitting. Returns kLineReady
// when the stream is text to split.
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
    if (IsWorkbookStart(bytes, count)) {
        return kLineWorkbook;
    }
    // Spreadsheets write UTF-8's mark; left in place it would turn the
    // first figure or column name into something else.
    splitter.hadUtf8Mark = StartsWith(bytes, count, kUtf8Mark, kUtf8MarkLength);
    const std::size_t skip = splitter.hadUtf8Mark ? kUtf8MarkLength : 0;
    splitter.source = ByteSpan{splitter.start + skip, count - skip};
    splitter.position = 0;
    return kLineReady;
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

// Appends to the carried line, growing it: memory follows the longest line.
// The caller has checked the length against the limit.
void Carry(LineSplitter& splitter, const char* bytes, std::size_t count) {
    const std::size_t needed = splitter.carryUsed + count;
    if (needed > splitter.carry.size()) {
        std::size_t size = splitter.carry.size() < 256 ? 256 : splitter.carry.size();
        while (size < needed) {
            size *= 2;
        }
        splitter.carry.resize(size);
    }
    std::memcpy(splitter.carry.data() + splitter.carryUsed, bytes, count);
    splitter.carryUsed = needed;
}

// A line of `length` bytes at `start`; `end` says what ended it. A CR right
// before an LF is part of the line end.
LineStatus HandOut(LineSplitter& splitter, const char* start, std::size_t length, LineEnd end,
                   InputLine& line) {
    if (end == kEndLf && length > 0 && start[length - 1] == '\r') {
        end = kEndCrLf;
        --length;
    }
    line.text = std::string_view(start, length);
    line.end = end;
    line.number = ++splitter.lineNumber;
    return length > kMaxLineLength ? kLineTooLong : kLineReady;
}

// The carried line, ended by `end`.
LineStatus HandOutCarry(LineSplitter& splitter, LineEnd end, InputLine& line) {
    const std::size_t length = splitter.carryUsed;
    splitter.carryUsed = 0;
    return HandOut(splitter, splitter.carry.data(), length, end, line);
}

// While the line ends are unknown, every byte goes to the carried line; a
// stream with CRs and no LF in its first bytes ends its lines in CR. Its
// carried bytes are then split again, from the start.
bool DecideOnCarry(LineSplitter& splitter) {
    if (splitter.mode != kEndsUnknown ||
        (splitter.carryUsed < kLineEndWindow && !splitter.inputEnded)) {
        return false;
    }
    if (!splitter.carryHasCr) {
        splitter.mode = kEndsAtLf;
        return false;
    }
    splitter.mode = kEndsAtCr;
    splitter.replay.assign(splitter.carry.begin(), splitter.carry.begin() + splitter.carryUsed);
    splitter.carryUsed = 0;
    // Every byte given so far is in the replay (the caller found none unread).
    splitter.source = ByteSpan{splitter.replay.data(), splitter.replay.size()};
    splitter.position = 0;
    return true;
}

// The line without its line end, once the input has ended.
LineStatus HandOutLastLine(LineSplitter& splitter, InputLine& line) {
    if (splitter.carryUsed == 0) {
        return kLineEnd;
    }
    // No line end at all: a CR at the very end stays in the line.
    line.text = std::string_view(splitter.carry.data(), splitter.carryUsed);
    line.end = kEndLf;
    line.number = ++splitter.lineNumber;
    splitter.carryUsed = 0;
    return line.text.size() > kMaxLineLength ? kLineTooLong : kLineReady;
}

}  // namespace

void StartLineSplitter(LineSplitter& splitter) {
    splitter.carry.clear();
    splitter.carry.shrink_to_fit();
    splitter.carryUsed = 0;
    splitter.carryHasCr = false;
    splitter.replay.clear();
    splitter.source = ByteSpan{};
    splitter.position = 0;
    splitter.pending = ByteSpan{};
    splitter.startUsed = 0;
    splitter.startChecked = false;
    splitter.hadUtf8Mark = false;
    splitter.mode = kEndsUnknown;
    splitter.inputEnded = false;
    splitter.lineNumber = 0;
}

void FeedLineSplitter(LineSplitter& splitter, const char* bytes, std::size_t count) {
    splitter.position = 0;
    if (splitter.startChecked) {
        splitter.source = ByteSpan{bytes, count};
        return;
    }
    std::size_t taken = kStartRoom - splitter.startUsed;
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
        if (splitter.startUsed < kStartRoom && !splitter.inputEnded) {
            return kLineNeedsInput;
        }
        const LineStatus status = CheckStart(splitter);
        if (status != kLineReady) {
            return status;
        }
    }
    for (;;) {
        if (!HasUnreadBytes(splitter) && !DecideOnCarry(splitter)) {
            break;
        }
        const char* rest = splitter.source.data + splitter.position;
        const std::size_t available = splitter.source.size - splitter.position;
        const bool atCr = splitter.mode == kEndsAtCr;
        // A word at a time (byte_scan.h): as fast as the C library's
        // memchr on lines this short, and much faster in WebAssembly, whose
        // C library looks at one byte at a time.
        const std::size_t length =
            FindByte(std::string_view(rest, available), 0, atCr ? '\r' : '\n');
        const bool found = length < available;
        // Past this length no line end can make the line acceptable.
        if (splitter.carryUsed + length > kMaxLineLength + 1) {
            line = InputLine{};
            line.number = ++splitter.lineNumber;
            return kLineTooLong;
        }
        if (!found) {
            if (splitter.mode == kEndsUnknown) {
                splitter.carryHasCr = splitter.carryHasCr ||
                                      FindByte(std::string_view(rest, length), 0, '\r') < length;
            }
            Carry(splitter, rest, length);
            splitter.position = splitter.source.size;
            continue;
        }
        if (splitter.mode == kEndsUnknown) {
            splitter.mode = kEndsAtLf;
        }
        splitter.position += length + 1;
        const LineEnd end = atCr ? kEndCr : kEndLf;
        if (splitter.carryUsed == 0) {
            return HandOut(splitter, rest, length, end, line);
        }
        Carry(splitter, rest, length);
        return HandOutCarry(splitter, end, line);
    }
    return splitter.inputEnded ? HandOutLastLine(splitter, line) : kLineNeedsInput;
}
