// Any bytes through a catalogue run: the first three bytes choose the
// options and a chunk size, the rest is the file. No sanitizer report, and the run
// fed in chunks gives exactly what it gives fed whole: the same output, the
// same error on the same line, the same summary of figures not read whole.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "chunked_run.h"
#include "json_text.h"

namespace {

CatalogueOptions ChooseOptions(std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    static const char kDelimiters[] = {',', ';', '\t', '|'};
    CatalogueOptions options;
    options.input = (a & 1) != 0 ? kInputCsv : kInputTsv;
    options.header = (a & 2) != 0;
    options.delimiter = kDelimiters[(a >> 2) & 3];
    options.output = (a & 16) != 0 ? kOutputJsonLines : kOutputDelimited;
    options.numbers = (a & 32) != 0;
    options.decimalComma = (a & 64) != 0;
    options.totals = (a & 128) != 0;
    options.echo = static_cast<EchoForm>(b % 3);
    options.strict = (b & 4) != 0;
    // Group by the second column when there is a header to name it.
    if (options.totals && (b & 8) != 0 && HasHeader(options)) {
        options.groupBy = "2";
    }
    // The reading rules, the periods, the what-if changes and the names added.
    options.thousandsComma = (c & 1) != 0 && !options.decimalComma;
    options.currency = (c & 2) != 0 ? "\xE2\x82\xAC" : "";
    options.boughtMonths = (c & 4) != 0 ? 3.0 : 0.0;
    options.soldMonths = (c & 4) != 0 ? 0.5 : 0.0;
    options.adjusted[kPriceFigure] = (c & 8) != 0;
    options.adjustPercent[kPriceFigure] = 5.0;
    options.adjusted[kSoldFigure] = (c & 8) != 0;
    options.adjustPercent[kSoldFigure] = -150.0;
    options.targetReturn = (c & 16) != 0 ? 300.0 : 0.0;
    options.prefix = (c & 32) != 0 ? "new " : "";
    return options;
}

[[noreturn]] void Fail(const char* what, const ChunkedRunResult& whole,
                       const ChunkedRunResult& chunked) {
    std::fprintf(
        stderr,
        "%s differs: whole status %d line %llu \"%s\", chunked status %d line %llu \"%s\"\n", what,
        whole.status, whole.errorLine, whole.error.c_str(), chunked.status, chunked.errorLine,
        chunked.error.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const CatalogueOptions options = ChooseOptions(data[0], data[1], data[2]);
    const std::size_t chunkSize = 1 + data[1] / 16;
    const std::string input(reinterpret_cast<const char*>(data) + 3, size - 3);

    const ChunkedRunResult whole = RunInChunks(options, input, input.size() + 1);
    const ChunkedRunResult chunked = RunInChunks(options, input, chunkSize);
    if (whole.status != chunked.status || whole.errorLine != chunked.errorLine ||
        whole.error != chunked.error) {
        Fail("status", whole, chunked);
    }
    if (whole.output != chunked.output) {
        Fail("output", whole, chunked);
    }
    if (whole.summary != chunked.summary) {
        Fail("summary", whole, chunked);
    }
    // JSON Lines output is UTF-8 whatever the input bytes were.
    if (options.output == kOutputJsonLines && !IsUtf8(whole.output)) {
        Fail("JSON text", whole, chunked);
    }
    return 0;
}
