// The focus ring that Tab and Shift+Tab walk: the four fields top to bottom,
// then the buttons left to right, then round again.
#pragma once

#include <windows.h>

#include "resource.h"

// One stop of the ring and where each direction goes from it.
struct FocusStop {
    int id;
    int next;
    int previous;
};

inline constexpr FocusStop kFocusRing[] = {
    {IDC_PRICE, IDC_COST, IDOK},
    {IDC_COST, IDC_BUY, IDC_PRICE},
    {IDC_BUY, IDC_SELL, IDC_COST},
    {IDC_SELL, IDC_RECALCULATE, IDC_BUY},
    {IDC_RECALCULATE, IDC_WEBSITE, IDC_SELL},
    {IDC_WEBSITE, IDOK, IDC_RECALCULATE},
    {IDOK, IDC_PRICE, IDC_WEBSITE},
};

// The main window itself holding the focus counts as the start of the ring,
// just before the price field. It has no control id (GetDlgCtrlID of a
// top-level window is its menu handle), so this stop is never looked up by
// id; 0 stands in.
inline constexpr FocusStop kRingStart = {0, IDC_PRICE, IDOK};
