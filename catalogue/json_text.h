// JSON strings for JSON Lines output.
#pragma once

#include <string_view>

#include "byte_sink.h"
#include "utf8.h"

// JSON text must be UTF-8 (IsUtf8): a byte that is not cannot be written
// into it without changing what it says.
//
// Appends `text` (well-formed UTF-8) as a JSON string: in double quotes, with
// \" \\ and the control characters escaped.
void AppendJsonString(ByteSink& sink, std::string_view text);
