// Hands out the lines of a stream one at a time, read in large blocks, so that
// a catalogue of any size goes through in constant memory.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>
#include <vector>

// The longest line accepted, without its line end. Each figure is read only
// up to its first 19 characters, so anything near this is not a catalogue.
constexpr std::size_t kMaxLineLength = 65536;

struct LineReader {
    std::FILE* file = nullptr;
    std::vector<char> buffer;  // unread bytes live in [begin, end)
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t scanned = 0;            // bytes from begin known to hold no line feed
    unsigned long long lineNumber = 0;  // of the line handed out last
    bool atEnd = false;                 // the file has no more bytes
    int readErrno = 0;                  // errno of a failed read
};

enum LineStatus {
    kLineRead,
    kLineEnd,      // no more lines
    kLineTooLong,  // line number lineNumber is over kMaxLineLength
    kLineReadFailed,
};

struct Line {
    std::string_view text;      // without its line end
    bool endsWithCrLf = false;  // the line end was CR LF, not a bare LF
};

void StartLineReader(LineReader& reader, std::FILE* file);

// Reads the next line. A line ends at LF; a CR right before that LF belongs to
// the line end. The last line may lack its LF. A UTF-8 byte order mark at the
// very start of the stream is skipped: spreadsheets write one, and left in
// place it would turn the first figure into 0. `line` stays valid until the
// next call.
LineStatus ReadLine(LineReader& reader, Line& line);
