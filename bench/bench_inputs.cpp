#include "bench_inputs.h"

#include <cmath>
#include <cstdio>
#include <random>

namespace {

// The inputs are formatted with the C library here, outside any timing:
// they only have to be the same for every contender.
std::string FormatText(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string MakePriceText(std::mt19937_64& random) {
    std::uniform_int_distribution<int> cents(1, 999999);
    return FormatText("%.2f", cents(random) / 100.0);
}

std::string MakeCountText(std::mt19937_64& random) {
    std::uniform_int_distribution<int> count(1, 99999);
    return FormatText("%.0f", count(random));
}

}  // namespace

TextPool MakeTypedTexts() {
    std::mt19937_64 random(1);
    TextPool pool;
    for (int i = 0; i < kPoolSize; ++i) {
        pool.texts.push_back(i % 2 == 0 ? MakePriceText(random) : MakeCountText(random));
    }
    return pool;
}

TextPool MakeLongTexts() {
    std::mt19937_64 random(2);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> pointAt(1, 17);
    TextPool pool;
    for (int i = 0; i < kPoolSize; ++i) {
        std::string text;
        int point = pointAt(random);
        text.push_back(static_cast<char>('1' + digit(random) % 9));
        while (text.size() < 19) {
            if (static_cast<int>(text.size()) == point) {
                text.push_back('.');
            } else {
                text.push_back(static_cast<char>('0' + digit(random)));
            }
        }
        pool.texts.push_back(text);
    }
    return pool;
}

TextPool MakeExponentTexts() {
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-300, 300);
    TextPool pool;
    for (int i = 0; i < kPoolSize; ++i) {
        pool.texts.push_back(FormatText("%.6f", mantissa(random)) + "e" +
                             std::to_string(exponent(random)));
    }
    return pool;
}

std::vector<double> MakeMoneyFigures() {
    std::mt19937_64 random(4);
    std::uniform_int_distribution<int> cents(1, 999999);
    std::uniform_int_distribution<int> count(1, 999);
    std::vector<double> figures;
    for (int i = 0; i < kPoolSize; ++i) {
        figures.push_back((count(random) * (cents(random) / 100.0)) * 12);
    }
    return figures;
}

std::vector<double> MakePercentFigures() {
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> quotient(-1.0, 1.0);
    std::vector<double> figures;
    for (int i = 0; i < kPoolSize; ++i) {
        figures.push_back(quotient(random) * 100);
    }
    return figures;
}

std::vector<double> MakeWideFigures() {
    std::mt19937_64 random(6);
    std::uniform_real_distribution<double> exponent(-3.0, 15.0);
    std::vector<double> figures;
    for (int i = 0; i < kPoolSize; ++i) {
        figures.push_back(std::pow(10.0, exponent(random)));
    }
    return figures;
}

std::vector<std::string> MakeItemTexts() {
    std::mt19937_64 random(7);
    std::vector<std::string> texts;
    for (int i = 0; i < kPoolSize; ++i) {
        texts.push_back(MakePriceText(random));
        texts.push_back(MakePriceText(random));
        texts.push_back(MakeCountText(random));
        texts.push_back(MakeCountText(random));
    }
    return texts;
}

std::vector<InventoryInputs> MakeItems() {
    std::vector<std::string> texts = MakeItemTexts();
    std::vector<InventoryInputs> items;
    for (std::size_t i = 0; i + 3 < texts.size(); i += 4) {
        items.push_back(ParseInputs(texts[i], texts[i + 1], texts[i + 2], texts[i + 3]));
    }
    return items;
}
