// Splits a byte stream that arrives in chunks of any size into lines, in
// constant memory: a line that lies wholly inside a chunk is handed out where
// it stands; only the unfinished tail of a chunk is copied, to be completed
// by the next one. The first bytes of the stream are checked for a byte
// order mark: UTF-8's is skipped, UTF-16's and UTF-32's stop the run.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// The longest line accepted, without its line end. Each figure is read only
// up to its first 19 characters, so anything near this is not a catalogue.
constexpr std::size_t kMaxLineLength = 65536;

struct InputLine {
    std::string_view text;          // without its line end
    bool endsWithCrLf = false;      // the line end was CR LF, not a bare LF
    unsigned long long number = 0;  // 1-based
};

enum LineStatus {
    kLineReady,
    kLineNeedsInput,  // every byte given so far is used: feed the next chunk
    kLineEnd,         // the input is finished and every line handed out
    kLineTooLong,     // line `number` is over kMaxLineLength
    kLineUtf16,       // the stream starts with a UTF-16 byte order mark
    kLineUtf32,       // the stream starts with a UTF-32 byte order mark
};

// The UTF-32 marks are four bytes long; nothing is decided before four bytes
// or the end of the input.
constexpr std::size_t kByteOrderMarkRoom = 4;

struct ByteSpan {
    const char* data = nullptr;
    std::size_t size = 0;
};

struct LineSplitter {
    std::vector<char> carry;  // the unfinished line, up to kMaxLineLength + 1 bytes
    std::size_t carryUsed = 0;
    ByteSpan source;  // bytes being split; source.data[position...] are unread
    std::size_t position = 0;
    ByteSpan pending;  // the rest of a chunk whose first bytes went to `start`
    char start[kByteOrderMarkRoom];
    std::size_t startUsed = 0;
    bool startChecked = false;
    bool inputEnded = false;
    unsigned long long lineNumber = 0;  // of the line handed out last
};

void StartLineSplitter(LineSplitter& splitter);

// Gives the next chunk. Its bytes must stay in place until NextLine has
// returned kLineNeedsInput.
void FeedLineSplitter(LineSplitter& splitter, const char* bytes, std::size_t count);

// Says that no more chunks will come.
void EndLineSplitter(LineSplitter& splitter);

// The next line. A line ends at LF; a CR right before that LF belongs to the
// line end. The last line may lack its LF (a CR at its end then stays in
// it). `line` stays valid until the next call.
LineStatus NextLine(LineSplitter& splitter, InputLine& line);
