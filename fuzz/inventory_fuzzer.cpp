// Any four field texts (up to 40 bytes each, separated by "|") through
// ParseInputs and ComputeResultTexts: no sanitizer report, each figure read
// as the exact reference reads the visible part of its field, and six
// terminated result texts of 1 to 79 characters, the money ones matching
// their template.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "exact_number_text.h"
#include "inventory.h"

namespace {

constexpr std::size_t kFieldCount = 4;
constexpr std::size_t kLongestField = 40;

[[noreturn]] void Fail(const std::string_view (&fields)[kFieldCount], const std::string& what) {
    std::fprintf(stderr, "fields \"%s\" \"%s\" \"%s\" \"%s\": %s\n", std::string(fields[0]).c_str(),
                 std::string(fields[1]).c_str(), std::string(fields[2]).c_str(),
                 std::string(fields[3]).c_str(), what.c_str());
    std::abort();
}

// What ParseAmount sees of a field: its first 19 characters, less a leading
// "$" in the two money fields.
std::string_view SelectVisibleNumber(std::string_view field, bool money) {
    field = field.substr(0, kInputReadLimit);
    if (money && !field.empty() && field[0] == '$') {
        field.remove_prefix(1);
    }
    return field;
}

// "$" + the amount with 2 places + two blanks, or kTooLargeText when that
// would be longer than a result text may be.
bool IsMoneyText(double amount, const char* text) {
    std::string_view shown(text);
    if (shown == kTooLargeText) {
        return exact::FormatFixed(amount, 1, 2).size() + 3 > kResultTextSize - 1;
    }
    if (shown.size() < 3 || shown.front() != '$' || shown.substr(shown.size() - 2) != "  ") {
        return false;
    }
    return exact::IsAcceptableFixed(amount, 1, 2, shown.substr(1, shown.size() - 3));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::string_view fields[kFieldCount];
    for (std::string_view& field : fields) {
        std::size_t bar = rest.find('|');
        field = rest.substr(0, std::min(bar, kLongestField));
        rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
    }

    InventoryInputs inputs = ParseInputs(fields[0], fields[1], fields[2], fields[3]);
    const double stored[kFieldCount] = {inputs.price, inputs.cost, inputs.buyPerMonth,
                                        inputs.sellPerMonth};
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        std::string_view visible = SelectVisibleNumber(fields[i], i < 2);
        if (exact::CompareParse(visible, stored[i]) == exact::ParseAgreement::kDifferent) {
            Fail(fields, "field " + std::to_string(i + 1) + " read as " +
                             exact::DescribeDouble(stored[i]) + ", exact " +
                             exact::DescribeDouble(exact::ParseAmount(visible)));
        }
    }

    ResultTexts texts = ComputeResultTexts(inputs);
    for (int field = 0; field < kResultCount; ++field) {
        const char* text = texts.text[field];
        const void* end = std::memchr(text, '\0', kResultTextSize);
        if (end == nullptr || end == text) {
            Fail(fields, std::string(kResultLabels[field]) + ": empty or unterminated text");
        }
    }
    const InventoryResults results = ComputeResults(inputs);
    for (const int field : {kAnnualSales, kGrossProfit, kAverageInventory}) {
        const double money = results.figure[field].value;
        if (!IsMoneyText(money, texts.text[field])) {
            Fail(fields, std::string(kResultLabels[field]) + " shows \"" + texts.text[field] +
                             "\" for " + exact::DescribeDouble(money));
        }
    }
    return 0;
}
