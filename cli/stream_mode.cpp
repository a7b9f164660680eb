#include "stream_mode.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "catalogue_run.h"
#include "error_report.h"
#include "exit_codes.h"

namespace {

constexpr char kStandardInputName[] = "standard input";

// Large blocks keep the number of read calls small.
constexpr std::size_t kReadBlockSize = 1 << 18;

bool IsStandardInput(const char* path) {
    return path == nullptr || std::strcmp(path, "-") == 0;
}

// Feeds the whole file to the run, block by block, until the run stops or
// the file ends. Returns the errno of a failed read, or 0.
int FeedFile(std::FILE* file, CatalogueRun& run) {
    std::vector<char> block(kReadBlockSize);
    for (;;) {
        errno = 0;
        const std::size_t count = std::fread(block.data(), 1, block.size(), file);
        if (count > 0 && FeedCatalogue(run, block.data(), count) != kRunGoing) {
            return 0;
        }
        if (count < block.size()) {
            return std::ferror(file) ? (errno != 0 ? errno : EIO) : 0;
        }
    }
}

int ReportRun(const CatalogueRun& run, const char* inputName, int readErrno, MessageText& summary) {
    int status = kExitOk;
    if (readErrno != 0) {
        ReportSystemError("cannot read", inputName, readErrno);
        status = kExitIo;
    } else if (run.status == kRunBadData) {
        ReportLineError(inputName, run.error.line, MessageView(run.error.message));
        status = kExitBadData;
    } else if (run.status == kRunWriteFailed) {
        status = kExitIo;  // main reports the write error, once
    }
    DescribeMisreads(run.misreads, true, summary);
    return status;
}

}  // namespace

int RunStreamMode(const Options& options, FileSink& output, MessageText& summary) {
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
    CatalogueRun run;
    StartCatalogueRun(run, options.catalogue, inputName, output.sink);
    const int readErrno = FeedFile(file, run);
    if (readErrno == 0) {
        FinishCatalogue(run);
    }
    if (file != stdin) {
        std::fclose(file);
    }
    return ReportRun(run, inputName, readErrno, summary);
}
