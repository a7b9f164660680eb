#include "error_report.h"

#include <cstdio>
#include <cstring>

// Messages go out unbuffered and whole; stderr is left to the C library since
// nothing in them is a figure.
void ReportError(const char* message) {
    std::fprintf(stderr, "kemcalc: %s\n", message);
}

void ReportLineError(const char* inputName, unsigned long long line, const char* message) {
    std::fprintf(stderr, "kemcalc: %s: line %llu: %s\n", inputName, line, message);
}

void ReportSystemError(const char* what, const char* name, int error) {
    std::fprintf(stderr, "kemcalc: %s %s: %s\n", what, name, std::strerror(error));
}
