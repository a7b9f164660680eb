// Any byte string into ParseAmount: the double must be the exact reference's,
// bit for bit (one unit of leeway in the subnormal range only).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "exact_number_text.h"
#include "number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    double got = ParseAmount(text);
    if (exact::CompareParse(text, got) == exact::ParseAgreement::kDifferent) {
        std::fprintf(stderr, "text \"%s\" (%zu bytes): ParseAmount gives %s, exact %s\n",
                     std::string(text).c_str(), size, exact::DescribeDouble(got).c_str(),
                     exact::DescribeDouble(exact::ParseAmount(text)).c_str());
        std::abort();
    }
    return 0;
}
