#include "kemcalc_runner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace {

// On Windows the test and kemcalc.exe run under cmd.exe, which knows the
// build tree only through the Z: drive that Wine maps to the root.
std::string ToShellPath(const std::string& path) {
#ifdef _WIN32
    std::string converted = path;
    if (!converted.empty() && converted[0] == '/') {
        converted = "Z:" + converted;
    }
    for (char& c : converted) {
        if (c == '/') {
            c = '\\';
        }
    }
    return converted;
#else
    return path;
#endif
}

std::string QuoteArgument(const std::string& arg) {
#ifdef _WIN32
    // cmd.exe keeps everything between double quotes; no test passes one.
    EXPECT_EQ(arg.find('"'), std::string::npos) << "cannot pass a double quote on Windows";
    return "\"" + arg + "\"";
#else
    std::string quoted = "'";
    for (char c : arg) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
#endif
}

int ExitStatusOf(int systemResult) {
#ifdef _WIN32
    return systemResult;
#else
    if (systemResult == -1 || !WIFEXITED(systemResult)) {
        return -1;
    }
    return WEXITSTATUS(systemResult);
#endif
}

}  // namespace

std::string ScratchPath(const std::string& suffix) {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) {
        if (c == '/') {
            c = '_';
        }
    }
    return std::string(KEMCALC_SCRATCH_DIR) + "/" + name + suffix;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << "cannot create " << path;
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    ASSERT_EQ(std::fclose(file), 0);
}

std::string ReadFile(const std::string& path) {
    std::string bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        ADD_FAILURE() << "cannot open " << path;
        return bytes;
    }
    char block[65536];
    std::size_t count;
    while ((count = std::fread(block, 1, sizeof block, file)) > 0) {
        bytes.append(block, count);
    }
    std::fclose(file);
    return bytes;
}

KemcalcRun RunKemcalcTo(const std::vector<std::string>& args, const std::string& input,
                        const std::string& outputPath) {
    std::string inputPath = ScratchPath(".in");
    std::string errorPath = ScratchPath(".err");
    WriteFile(inputPath, input);

    std::string command = QuoteArgument(ToShellPath(KEMCALC_PATH));
    for (const std::string& arg : args) {
        command += " " + QuoteArgument(arg);
    }
    command += " < " + QuoteArgument(ToShellPath(inputPath));
    command += " > " + QuoteArgument(ToShellPath(outputPath));
    command += " 2> " + QuoteArgument(ToShellPath(errorPath));
#ifdef _WIN32
    // cmd /c drops the first and last quote of a line that starts with one.
    command = "\"" + command + "\"";
#endif
    KemcalcRun run;
    run.status = ExitStatusOf(std::system(command.c_str()));
    run.err = ReadFile(errorPath);
    return run;
}

KemcalcRun RunKemcalc(const std::vector<std::string>& args, const std::string& input) {
    std::string outputPath = ScratchPath(".out");
    KemcalcRun run = RunKemcalcTo(args, input, outputPath);
    run.out = ReadFile(outputPath);
    return run;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> SplitFields(const std::string& line, char separator) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = line.find(separator, start);
        if (end == std::string::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
}
