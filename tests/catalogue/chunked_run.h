// A catalogue run fed its input in chunks of a chosen size, with everything
// it gives back, for the tests and the fuzz target that compare runs fed in
// different chunks. Each chunk lives only for its call, as a browser's slice
// would: a run that kept a view into one would read freed bytes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>

#include "catalogue_run.h"

struct ChunkedRunResult {
    std::string output;
    RunStatus status = kRunGoing;
    unsigned long long errorLine = 0;
    std::string error;
    std::string summary;  // of the figures not read whole
};

inline bool AppendToString(void* context, const char* bytes, std::size_t count) {
    static_cast<std::string*>(context)->append(bytes, count);
    return true;
}

inline ChunkedRunResult RunInChunks(const CatalogueOptions& options, const std::string& input,
                                    std::size_t chunkSize) {
    ChunkedRunResult result;
    ByteSink sink;
    StartByteSink(sink, AppendToString, &result.output);
    CatalogueRun run;
    StartCatalogueRun(run, options, "input", sink);
    RunStatus status = kRunGoing;
    for (std::size_t start = 0; start < input.size() && status == kRunGoing; start += chunkSize) {
        const std::string chunk = input.substr(start, std::min(chunkSize, input.size() - start));
        status = FeedCatalogue(run, chunk.data(), chunk.size());
    }
    result.status = status == kRunGoing ? FinishCatalogue(run) : status;
    FlushByteSink(sink);
    result.errorLine = run.error.line;
    MessageText error;
    ClearMessage(error);
    DescribeRunError(run.error, "", error);
    result.error = std::string(MessageView(error));
    MessageText summary;
    DescribeMisreads(run.misreads, true, summary);
    result.summary = std::string(MessageView(summary));
    DescribeEmptyFigures(run.misreads, summary);
    result.summary += std::string(MessageView(summary));
    return result;
}
