#include "json_text.h"

void AppendJsonString(ByteSink& sink, std::string_view text) {
    static const char kHexDigits[] = "0123456789abcdef";
    AppendChar(sink, '"');
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            AppendChar(sink, '\\');
            AppendChar(sink, c);
        } else if (byte < 0x20) {
            const char escape[] = {
                '\\', 'u', '0', '0', kHexDigits[byte >> 4], kHexDigits[byte & 0xF]};
            AppendBytes(sink, escape, sizeof escape);
        } else {
            AppendChar(sink, c);
        }
    }
    AppendChar(sink, '"');
}
