// Prints a seeded sweep of the model's answers, one case a line, so that the
// native and the Windows build can be compared byte for byte: the same texts
// must come out of both toolchains.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "double_bits.h"
#include "inventory.h"
#include "number_text.h"

namespace {

// Pieces that typed figures are made of, the awkward ones included.
const char* const kPieces[] = {
    "0",  "1",  "2",  "5",    "9",     ".",      "$",     "-",     "+",       "e",     "d", "E-",
    "e+", "00", "99", "12.5", "1e300", "1e-300", "1e400", "0.005", "999.995", "2.675", " ", "x"};

std::string RandomText(std::mt19937_64& random) {
    std::string text;
    const int pieces = static_cast<int>(random() % 6);
    for (int i = 0; i < pieces; ++i) {
        text += kPieces[random() % (sizeof kPieces / sizeof kPieces[0])];
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 20000;
    std::mt19937_64 random(20261207);
    for (int i = 0; i < count; ++i) {
        std::string texts[4];
        for (std::string& text : texts) {
            text = RandomText(random);
        }
        const InventoryInputs inputs = ParseInputs(texts[0], texts[1], texts[2], texts[3]);
        const ResultTexts results = ComputeResultTexts(inputs);
        std::printf("%s|%s|%s|%s|%016" PRIx64 " %016" PRIx64 " %016" PRIx64 " %016" PRIx64,
                    texts[0].c_str(), texts[1].c_str(), texts[2].c_str(), texts[3].c_str(),
                    BitsOf(inputs.price), BitsOf(inputs.cost), BitsOf(inputs.buyPerMonth),
                    BitsOf(inputs.sellPerMonth));
        for (const char* text : results.text) {
            std::printf("|%s", text);
        }
        std::printf("\n");
    }
    for (int i = 0; i < count; ++i) {
        const std::uint64_t bits = random();
        char text[400];
        FormatFixed(DoubleFromBits(bits), 1, static_cast<int>(i % 7), text, sizeof text);
        std::printf("%016" PRIx64 " %d %s\n", bits, i % 7, text);
    }
    return 0;
}
