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

// Appends at most `limit` bytes of `text`, cut before a UTF-8 character that
// would not fit, with \" \\ \t \r \n, and \xNN for other control bytes and
// for bytes that are not UTF-8, so that no byte of a file reaches a terminal
// as it stands; UTF-8 characters are kept, so names read as written. Returns
// false when the text was cut.
bool AppendMessageEscaped(MessageText& message, std::string_view text, std::size_t limit);

// The same in double quotes, so that blanks show too; "..." follows the
// closing quote of a text that was cut.
void AppendMessageQuoted(MessageText& message, std::string_view text, std::size_t limit);

inline std::string_view MessageView(const MessageText& message) {
    return std::string_view(message.text, message.length);
}
