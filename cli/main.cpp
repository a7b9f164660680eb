// kemcalc: the calculator's answers on the command line, for one item or a
// whole catalogue, through the same model as the window.
#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "csv_mode.h"
#include "error_report.h"
#include "exit_codes.h"
#include "item_mode.h"
#include "line_reader.h"
#include "options.h"
#include "output_buffer.h"
#include "tsv_mode.h"

#ifndef KEMCALC_VERSION
#error "KEMCALC_VERSION comes from the build"
#endif

namespace {

constexpr char kStandardInputName[] = "standard input";
constexpr char kStandardOutputName[] = "standard output";

void ReportUsageError(const char* error) {
    std::fprintf(stderr, "kemcalc: %s\nTry 'kemcalc --help' for more information.\n", error);
}

// The bytes of every line end are the tool's own business: no CR LF
// translation on Windows, so input, output and messages are the same on both
// systems.
void UseBinaryStandardStreams() {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}

bool IsStandardInput(const char* path) {
    return path == nullptr || std::strcmp(path, "-") == 0;
}

int RunStreamMode(const Options& options, OutputBuffer& output) {
    std::FILE* file = stdin;
    const char* inputName = kStandardInputName;
    if (!IsStandardInput(options.inputPath)) {
        errno = 0;
        file = std::fopen(options.inputPath, "rb");
        if (file == nullptr) {
            ReportSystemError("cannot open", options.inputPath, errno != 0 ? errno : ENOENT);
            return kExitIo;
        }
        inputName = options.inputPath;
    }
    LineReader reader;
    StartLineReader(reader, file);
    int status = options.mode == kModeTsv ? RunTsvMode(options, reader, inputName, output)
                                          : RunCsvMode(options, reader, inputName, output);
    if (file != stdin) {
        std::fclose(file);
    }
    return status;
}

int RunChosenMode(const Options& options, OutputBuffer& output) {
    switch (options.mode) {
        case kModeHelp:
            AppendText(output, kUsageText);
            return kExitOk;
        case kModeVersion:
            AppendText(output, "kemcalc " KEMCALC_VERSION "\n");
            return kExitOk;
        case kModeItem:
            return RunItemMode(options, output);
        case kModeTsv:
        case kModeCsv:
            return RunStreamMode(options, output);
    }
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    UseBinaryStandardStreams();
    Options options;
    char error[kOptionErrorSize];
    if (!ParseOptions(argc, argv, options, error)) {
        ReportUsageError(error);
        return kExitUsage;
    }

    OutputBuffer output;
    StartOutput(output, stdout);
    int status = RunChosenMode(options, output);
    // The rows written before a bad line are whole and in order; they go out
    // even when the run fails, and a failed write is reported exactly once.
    if (!FinishOutput(output)) {
        ReportSystemError("cannot write", kStandardOutputName, output.writeErrno);
        if (status == kExitOk) {
            status = kExitIo;
        }
    }
    return status;
}
