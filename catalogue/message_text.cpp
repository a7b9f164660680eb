#include "message_text.h"

#include "decimal_digits.h"
#include "utf8.h"

namespace {

void AppendMessageChar(MessageText& message, char c) {
    if (message.length + 1 < kMessageSize) {
        message.text[message.length++] = c;
        message.text[message.length] = '\0';
    }
}

void AppendEscaped(MessageText& message, unsigned char c) {
    static const char kHexDigits[] = "0123456789abcdef";
    switch (c) {
        case '"':
            AppendMessage(message, "\\\"");
            return;
        case '\\':
            AppendMessage(message, "\\\\");
            return;
        case '\t':
            AppendMessage(message, "\\t");
            return;
        case '\r':
            AppendMessage(message, "\\r");
            return;
        case '\n':
            AppendMessage(message, "\\n");
            return;
        default:
            break;
    }
    if (c < 0x20 || c >= 0x7F) {
        const char escape[] = {'\\', 'x', kHexDigits[c >> 4], kHexDigits[c & 0xF]};
        AppendMessage(message, std::string_view(escape, sizeof escape));
        return;
    }
    AppendMessageChar(message, static_cast<char>(c));
}

}  // namespace

void ClearMessage(MessageText& message) {
    message.length = 0;
    message.text[0] = '\0';
}

void AppendMessage(MessageText& message, std::string_view text) {
    for (char c : text) {
        AppendMessageChar(message, c);
    }
}

void AppendMessageNumber(MessageText& message, unsigned long long number) {
    char digits[kMaxDecimalDigits];
    AppendMessage(message, std::string_view(digits, AppendDecimalDigits(digits, 0, number)));
}

bool AppendMessageEscaped(MessageText& message, std::string_view text, std::size_t limit) {
    std::size_t i = 0;
    while (i < text.size() && i < limit) {
        const std::size_t length = MeasureUtf8Sequence(text, i);
        if (length <= 1) {
            AppendEscaped(message, static_cast<unsigned char>(text[i]));
            ++i;
            continue;
        }
        if (i + length > limit) {
            break;  // half a character would say nothing
        }
        AppendMessage(message, text.substr(i, length));
        i += length;
    }
    return i == text.size();
}

void AppendMessageQuoted(MessageText& message, std::string_view text, std::size_t limit) {
    AppendMessageChar(message, '"');
    const bool whole = AppendMessageEscaped(message, text, limit);
    AppendMessageChar(message, '"');
    if (!whole) {
        AppendMessage(message, "...");
    }
}
