// The model's entry points for JavaScript. The page copies the four field
// texts into fixed buffers here, asks for the six result texts and reads them
// back; every rule about numbers stays in the model.
//
// More views of the site add their own entry files beside this one; every
// function marked EMSCRIPTEN_KEEPALIVE is exported from the module.
#include <emscripten/emscripten.h>

#include <cstddef>
#include <string_view>

#include "inventory.h"

namespace {

constexpr int kFieldCount = 4;

// The model reads at most kInputReadLimit characters of a field. UTF-8 needs
// at most 4 bytes for one character, so this room holds every character the
// model could read and the page never has to decide where a text ends.
constexpr std::size_t kFieldRoom = 4 * kInputReadLimit;

struct FieldTexts {
    char bytes[kFieldCount][kFieldRoom];
};

FieldTexts fieldTexts;
ResultTexts resultTexts;

bool IsField(int field) {
    return field >= 0 && field < kFieldCount;
}

std::string_view ViewField(int field, int length) {
    // A length beyond the room (or below zero) is cut to it: the bytes past
    // the room were never copied in.
    std::size_t used = length < 0 ? 0 : static_cast<std::size_t>(length);
    if (used > kFieldRoom) {
        used = kFieldRoom;
    }
    return std::string_view(fieldTexts.bytes[field], used);
}

}  // namespace

extern "C" {

// Where the page writes the UTF-8 text of field 0 (price), 1 (cost),
// 2 (bought) or 3 (sold); null for any other field.
EMSCRIPTEN_KEEPALIVE char* kem_field_buffer(int field) {
    return IsField(field) ? fieldTexts.bytes[field] : nullptr;
}

// The size in bytes of each field buffer.
EMSCRIPTEN_KEEPALIVE int kem_field_room() {
    return static_cast<int>(kFieldRoom);
}

// Reads the four fields, each of the given length in bytes, and works out the
// six result texts.
EMSCRIPTEN_KEEPALIVE void kem_compute_results(int priceLength, int costLength, int boughtLength,
                                              int soldLength) {
    resultTexts =
        ComputeResultTexts(ParseInputs(ViewField(0, priceLength), ViewField(1, costLength),
                                       ViewField(2, boughtLength), ViewField(3, soldLength)));
}

// The result text of one field in ResultField order (0 annual sales ... 5
// return on inventory), null-terminated; null for any other field.
EMSCRIPTEN_KEEPALIVE const char* kem_result_text(int field) {
    return field >= 0 && field < kResultCount ? resultTexts.text[field] : nullptr;
}

// How many result texts kem_result_text gives.
EMSCRIPTEN_KEEPALIVE int kem_result_count() {
    return kResultCount;
}
}
