// Splits a byte stream that arrives in chunks of any size into lines, in
// memory that grows only with the longest line: a line that lies wholly
// inside a chunk is handed out where it stands; only the unfinished tail of a
// chunk is copied, to be completed by the next one. The first bytes of the
// stream are checked for a byte order mark (UTF-8's is skipped and noted,
// UTF-16's and UTF-32's stop the run) and for the signature of a
// spreadsheet's own file format. Lines end in LF or CR LF; in a stream that
// has CRs but no LF in its first kLineEndWindow bytes (or in all of it, when
// shorter), as old Mac files have, they end in CR.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// The longest line accepted, without its line end: 16 MiB. Each figure is
// read only up to its first 19 characters, but an export may carry a long
// description in a column that is only passed through. Memory grows with the
// longest line seen, up to about this much, never more.
constexpr std::size_t kMaxLineLength = std::size_t{1} << 24;

enum LineEnd {
    kEndLf,    // LF, or the end of the input
    kEndCrLf,  // CR LF
    kEndCr,    // a bare CR, in a file of CR line ends
};

struct InputLine {
    std::string_view text;  // without its line end
    LineEnd end = kEndLf;
    unsigned long long number = 0;  // 1-based
};

enum LineStatus {
    kLineReady,
    kLineNeedsInput,  // every byte given so far is used: feed the next chunk
    kLineEnd,         // the input is finished and every line handed out
    kLineTooLong,     // line `number` is over kMaxLineLength
    kLineUtf16,       // the stream starts with a UTF-16 byte order mark
    kLineUtf32,       // the stream starts with a UTF-32 byte order mark
    kLineWorkbook,    // the stream starts as a zip (xlsx, ods) or an old Excel file
};

// How far the line ends are looked for before a stream without LF is taken
// to end its lines in CR.
constexpr std::size_t kLineEndWindow = 1 << 16;

// The longest signature looked for is eight bytes; nothing is decided before
// eight bytes or the end of the input.
constexpr std::size_t kStartRoom = 8;

struct ByteSpan {
    const char* data = nullptr;
    std::size_t size = 0;
};

// How lines end, known from the first line end of the stream.
enum LineEndMode { kEndsUnknown, kEndsAtLf, kEndsAtCr };

struct LineSplitter {
    std::vector<char> carry;  // the unfinished line, grown up to kMaxLineLength + 2 bytes
    std::size_t carryUsed = 0;
    bool carryHasCr = false;   // the carried bytes hold a CR, while the line ends are unknown
    std::vector<char> replay;  // the first bytes again, split at CRs once that is known
    ByteSpan source;           // bytes being split; source.data[position...] are unread
    std::size_t position = 0;
    ByteSpan pending;  // the rest of a chunk whose first bytes went to `start`
    char start[kStartRoom];
    std::size_t startUsed = 0;
    bool startChecked = false;
    bool hadUtf8Mark = false;  // the stream began with UTF-8's byte order mark
    LineEndMode mode = kEndsUnknown;
    bool inputEnded = false;
    unsigned long long lineNumber = 0;  // of the line handed out last
};

void StartLineSplitter(LineSplitter& splitter);

// Gives the next chunk. Its bytes must stay in place until NextLine has
// returned kLineNeedsInput.
void FeedLineSplitter(LineSplitter& splitter, const char* bytes, std::size_t count);

// Says that no more chunks will come.
void EndLineSplitter(LineSplitter& splitter);

// The next line. In a file of LF line ends, a CR right before the LF belongs
// to the line end, and a bare CR elsewhere to the line. The last line may
// lack its line end. `line` stays valid until the next call.
LineStatus NextLine(LineSplitter& splitter, InputLine& line);
