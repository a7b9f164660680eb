// Runs the built kemcalc with given arguments and standard input, and hands
// back what it printed and its exit status, the way a user's shell sees them.
#pragma once

#include <string>
#include <vector>

struct KemcalcRun {
    int status = -1;
    std::string out;
    std::string err;
};

// `input` goes to standard input through a file, byte for byte.
KemcalcRun RunKemcalc(const std::vector<std::string>& args, const std::string& input = "");

// Like RunKemcalc, but standard output goes to `outputPath` instead.
KemcalcRun RunKemcalcTo(const std::vector<std::string>& args, const std::string& input,
                        const std::string& outputPath);

// A file in the test's scratch folder, named after the running test.
std::string ScratchPath(const std::string& suffix);

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// Splits text into lines at LF; a last line without LF is kept.
std::vector<std::string> SplitLines(const std::string& text);

// Splits one line into fields at `separator`.
std::vector<std::string> SplitFields(const std::string& line, char separator);
