// Messages on standard error, all in the form "kemcalc: ...".
#pragma once

#include <string_view>

void ReportError(std::string_view message);

// "kemcalc: NAME: line N: message", or "kemcalc: NAME: message" for line 0.
void ReportLineError(const char* inputName, unsigned long long line, std::string_view message);

// "kemcalc: WHAT NAME: the system's reason".
void ReportSystemError(const char* what, const char* name, int error);
