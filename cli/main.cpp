// kemcalc: the calculator's answers on the command line, for one item or a
// whole catalogue, through the same model as the window.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "error_report.h"
#include "exit_codes.h"
#include "file_sink.h"
#include "item_mode.h"
#include "options.h"
#include "stream_mode.h"

#ifndef KEMCALC_VERSION
#error "KEMCALC_VERSION comes from the build"
#endif

namespace {

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

int RunChosenMode(const Options& options, FileSink& output, std::vector<std::string>& notes) {
    switch (options.mode) {
        case kModeHelp:
            AppendText(output.sink, kUsageText);
            return kExitOk;
        case kModeVersion:
            AppendText(output.sink, "kemcalc " KEMCALC_VERSION "\n");
            return kExitOk;
        case kModeItem:
            return RunItemMode(options, output.sink, notes);
        case kModeTsv:
        case kModeCsv:
            return RunStreamMode(options, output, notes);
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

    FileSink output;
    StartFileSink(output, stdout);
    std::vector<std::string> notes;
    int status = RunChosenMode(options, output, notes);
    // The rows written before a bad line are whole and in order; they go out
    // even when the run fails, and a failed write is reported exactly once.
    if (!FinishFileSink(output)) {
        ReportSystemError("cannot write", kStandardOutputName, output.writeErrno);
        if (status == kExitOk) {
            status = kExitIo;
        }
    }
    // Figures not read whole and the like are told last, after any error,
    // a line each.
    for (const std::string& note : notes) {
        ReportError(note);
    }
    return status;
}
