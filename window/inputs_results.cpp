// The two operations of the inventory model that touch the window: reading
// the four input fields and showing the six result texts.
#include "inventory.h"
#include "window.h"

namespace {

// The four figures of the item, as last read from the fields; all 0 at start.
InventoryInputs g_inputs;

// WM_GETTEXT's limit counts the terminator: 20 lets 19 characters through.
constexpr WPARAM kReadLimit = kInputReadLimit + 1;

// Texts are read into the same 80-character room as every other text.
struct FieldText {
    char text[80];
};

void ReadField(HWND hwnd, int id, FieldText& field) {
    field.text[0] = '\0';
    SendDlgItemMessageA(hwnd, id, WM_GETTEXT, kReadLimit, reinterpret_cast<LPARAM>(field.text));
}

static_assert(sizeof kResultIds / sizeof kResultIds[0] == kResultCount,
              "one result field for each of the model's texts");

}  // namespace

void ReadInputs(HWND hwnd) {
    FieldText price, cost, bought, sold;
    ReadField(hwnd, IDC_PRICE, price);
    ReadField(hwnd, IDC_COST, cost);
    ReadField(hwnd, IDC_BUY, bought);
    ReadField(hwnd, IDC_SELL, sold);
    g_inputs = ParseInputs(price.text, cost.text, bought.text, sold.text);
}

void ShowResults(HWND hwnd) {
    const ResultTexts results = ComputeResultTexts(g_inputs);
    for (int field = 0; field < kResultCount; ++field) {
        SetDlgItemTextA(hwnd, kResultIds[field], results.text[field]);
    }
}
