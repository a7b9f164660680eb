#include "error_report.h"

#include <cstdio>
#include <cstring>

// Messages go out unbuffered and whole; stderr is left to the C library since
// nothing in them is a figure.
void ReportError(std::string_view message) {
    std::fprintf(stderr, "kemcalc: %.*s\n", static_cast<int>(message.size()), message.data());
}

void ReportLineError(const char* inputName, unsigned long long line, std::string_view message) {
    if (line == 0) {
        std::fprintf(stderr, "kemcalc: %s: %.*s\n", inputName, static_cast<int>(message.size()),
                     message.data());
        return;
    }
    std::fprintf(stderr, "kemcalc: %s: line %llu: %.*s\n", inputName, line,
                 static_cast<int>(message.size()), message.data());
}

void ReportSystemError(const char* what, const char* name, int error) {
    std::fprintf(stderr, "kemcalc: %s %s: %s\n", what, name, std::strerror(error));
}
