#include "stream_mode.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "catalogue_run.h"
#include "error_report.h"
#include "exit_codes.h"
#include "run_messages.h"

namespace {

constexpr char kStandardInputName[] = "standard input";

// Large blocks keep the number of read calls small.
constexpr std::size_t kReadBlockSize = 1 << 18;

bool IsStandardInput(const char* path) {
    return path == nullptr || std::strcmp(path, "-") == 0;
}

// An open input: a file, or standard input.
struct Input {
    std::FILE* file = nullptr;
    const char* name = nullptr;
};

// Opens `path`; false after saying why.
bool OpenInput(const char* path, Input& input) {
    if (IsStandardInput(path)) {
        input = Input{stdin, kStandardInputName};
        return true;
    }
    errno = 0;
    input.file = std::fopen(path, "rb");
    input.name = path;
    if (input.file == nullptr) {
        ReportSystemError("cannot open", path, errno != 0 ? errno : ENOENT);
        return false;
    }
    return true;
}

void CloseInput(Input& input) {
    if (input.file != nullptr && input.file != stdin) {
        std::fclose(input.file);
    }
    input.file = nullptr;
}

// Feeds the whole file to `feed`, block by block, until it says stop or the
// file ends. Returns the errno of a failed read, or 0.
template <typename Feed>
int FeedFile(std::FILE* file, Feed feed) {
    std::vector<char> block(kReadBlockSize);
    for (;;) {
        errno = 0;
        const std::size_t count = std::fread(block.data(), 1, block.size(), file);
        if (count > 0 && !feed(block.data(), count)) {
            return 0;
        }
        if (count < block.size()) {
            return std::ferror(file) ? (errno != 0 ? errno : EIO) : 0;
        }
    }
}

// Reads report `j` whole into `table`; returns kExitOk or the status to end
// with, after saying why.
int LoadReport(const Options& options, std::size_t j, JoinTable& table) {
    Input input;
    if (!OpenInput(options.joinPaths[j], input)) {
        return kExitIo;
    }
    ColumnRef key;
    ParseColumnRef(options.catalogue.joins[j].joinedKey, key);
    StartJoinTable(table, options.catalogue, input.name, key);
    const int readErrno = FeedFile(input.file, [&table](const char* bytes, std::size_t count) {
        return FeedJoinTable(table, bytes, count);
    });
    CloseInput(input);
    if (readErrno != 0) {
        ReportSystemError("cannot read", options.joinPaths[j], readErrno);
        return kExitIo;
    }
    if (!FinishJoinTable(table)) {
        ReportRunError(table.error);
        return ExitStatusOf(table.error);
    }
    return kExitOk;
}

int ReportRun(const CatalogueRun& run, const char* inputName, int readErrno,
              std::vector<std::string>& notes) {
    int status = kExitOk;
    if (readErrno != 0) {
        ReportSystemError("cannot read", inputName, readErrno);
        status = kExitIo;
    } else if (run.status == kRunBadData) {
        ReportRunError(run.error);
        status = ExitStatusOf(run.error);
    } else if (run.status == kRunWriteFailed) {
        status = kExitIo;  // main reports the write error, once
    }
    DescribeRunNotes(run, notes);
    return status;
}

}  // namespace

int RunStreamMode(const Options& options, FileSink& output, std::vector<std::string>& notes) {
    // The reports first: the catalogue's header names their columns too, and
    // nothing is written before every report is read whole.
    const std::size_t joinCount = options.catalogue.joinCount;
    std::unique_ptr<JoinTable[]> tables(new JoinTable[joinCount == 0 ? 1 : joinCount]);
    for (std::size_t j = 0; j < joinCount; ++j) {
        const int status = LoadReport(options, j, tables[j]);
        if (status != kExitOk) {
            return status;
        }
    }
    Input input;
    if (!OpenInput(options.inputPath, input)) {
        return kExitIo;
    }
    CatalogueRun run;
    StartCatalogueRun(run, options.catalogue, input.name, output.sink);
    for (std::size_t j = 0; j < joinCount; ++j) {
        JoinReport(run, tables[j]);
    }
    const int readErrno = FeedFile(input.file, [&run](const char* bytes, std::size_t count) {
        return FeedCatalogue(run, bytes, count) == kRunGoing;
    });
    if (readErrno == 0) {
        FinishCatalogue(run);
    }
    CloseInput(input);
    return ReportRun(run, input.name, readErrno, notes);
}
