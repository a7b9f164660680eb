// Well-formed UTF-8, as JSON output needs it and as messages show it.
#pragma once

#include <cstddef>
#include <string_view>

// The length of the UTF-8 sequence that starts at text[i] (1 to 4), or 0
// when the bytes there are not one: no overlong forms, no surrogates,
// nothing above U+10FFFF.
std::size_t MeasureUtf8Sequence(std::string_view text, std::size_t i);

// Whether the whole of `text` is well-formed UTF-8.
bool IsUtf8(std::string_view text);
