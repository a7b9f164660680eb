// Messages on standard error, all in one form: "kemcalc: what went wrong".
#pragma once

// A message about the run as a whole.
void ReportError(const char* message);

// A message about one line of the input: "kemcalc: NAME: line N: message".
void ReportLineError(const char* inputName, unsigned long long line, const char* message);

// A failed open, read or write, with the system's reason for errno `error`.
void ReportSystemError(const char* what, const char* name, int error);
