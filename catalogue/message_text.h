// Messages for the user, built in a fixed buffer without the C library's
// formatting: a long header or a field of binary bytes is cut, never written
// past the end.
#pragma once

#include <cstddef>
#include <string_view>

// Room for a message that lists a wide header's columns.
constexpr std::size_t kMessageSize = 1024;

struct MessageText {
    char text[kMessageSize];
    std::size_t length = 0;  // text[length] is always a terminator
};

void ClearMessage(MessageText& message);

// Appends as much of `text` as fits; the message stays terminated.
void AppendMessage(MessageText& message, std::string_view text);
void AppendMessageNumber(MessageText& message, unsigned long long number);

// Appends `text` in double quotes so that blanks, line ends and binary bytes
// show: \" \\ \t \r \n, and \xNN for other control bytes and for bytes that
// are not UTF-8; UTF-8 characters are kept, so names read as written. A text longer than `limit`
// bytes is cut there and "..." follows the closing quote.
void AppendMessageQuoted(MessageText& message, std::string_view text, std::size_t limit);

inline std::string_view MessageView(const MessageText& message) {
    return std::string_view(message.text, message.length);
}
