// Where the keyboard focus goes when no control holds it: after a minimized
// start, with the main window itself holding it, and with no window of the
// program holding it at all.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

bool FocusIs(int id) {
    return FocusedId() == id;
}

// The state a minimized start leaves once the window is shown without being
// activated again: start-up's SetFocus on the price field was refused while
// the window was minimized, and activation gave the focus to the window.
void HoldFocusOnMainWindowItself() {
    RestartMainWindow(SW_SHOWMINIMIZED);
    ShowWindow(g_hMainWnd, SW_SHOWNOACTIVATE);
    PumpPending();
}

// Each test leaves the window shown, not minimized, for the next one.
using FocusTest = MainWindowTest;

}  // namespace

TEST_F(FocusTest, AMinimizedStartRestoredPutsTheFocusInThePriceField) {
    struct Row {
        const char* what;
        void (*restore)();
    };
    const Row rows[] = {
        {"system menu Restore", [] { SendMessageA(g_hMainWnd, WM_SYSCOMMAND, SC_RESTORE, 0); }},
        {"shown and activated", [] { ShowWindow(g_hMainWnd, SW_RESTORE); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        RestartMainWindow(SW_SHOWMINIMIZED);
        ASSERT_TRUE(IsIconic(g_hMainWnd));
        EXPECT_NE(ControlName(FocusedId()), ControlName(IDC_PRICE)) << "refused while minimized";
        row.restore();
        EXPECT_TRUE(PumpUntil([] { return !IsIconic(g_hMainWnd) && FocusIs(IDC_PRICE); }))
            << "focus on " << ControlName(FocusedId());
    }
}

TEST_F(FocusTest, ActivationGivesBackTheFocusAControlHeld) {
    // The About box takes the activation away and gives it back; the focus
    // returns to where it was, not to the price field.
    SetFocus(GetDlgItem(g_hMainWnd, IDC_SELL));
    ASSERT_TRUE(WithAboutBoxOpen([](HWND box) { SendDlgItemMessageA(box, IDOK, BM_CLICK, 0, 0); }));
    EXPECT_TRUE(PumpUntil([] { return FocusIs(IDC_SELL); }))
        << "focus on " << ControlName(FocusedId());
}

TEST_F(FocusTest, TabFromTheMainWindowItselfEntersTheRing) {
    struct Row {
        const char* what;
        void (*press)();
        int expected;
    };
    const Row rows[] = {
        {"Tab's command", [] { PostMessageA(g_hMainWnd, WM_COMMAND, CMD_NEXT_FIELD, 0); },
         IDC_PRICE},
        {"Shift+Tab's command", [] { PostMessageA(g_hMainWnd, WM_COMMAND, CMD_PREV_FIELD, 0); },
         IDOK},
        {"the Tab key", [] { PressKey(VK_TAB); }, IDC_PRICE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        HoldFocusOnMainWindowItself();
        ASSERT_EQ(GetFocus(), g_hMainWnd);
        ASSERT_TRUE(BringToFront());
        row.press();
        EXPECT_TRUE(PumpUntil([&] { return InputQueueEmpty() && FocusIs(row.expected); }))
            << "focus on " << ControlName(FocusedId());
    }
    // From there on the keyboard is alive: typing lands in the field.
    TypeKeys("42");
    EXPECT_TRUE(PumpUntil([] { return ControlText(IDC_PRICE) == "42"; }));
}

TEST_F(FocusTest, FocusFieldOnAnIdWithNoControlLeavesNoFocusAndBreaksNothing) {
    // IDCANCEL and the neighbours of the ring's ids name no control; -1 does
    // (the labels), so it is not among them.
    const int missing[] = {999, 0, -2, IDCANCEL, IDC_SELL + 1, IDC_RECALCULATE + 1};
    SetControlText(IDC_PRICE, "2");
    for (int id : missing) {
        SCOPED_TRACE("FocusField on " + std::to_string(id));
        SetFocus(GetDlgItem(g_hMainWnd, IDC_COST));
        FocusField(g_hMainWnd, id);
        EXPECT_EQ(GetFocus(), nullptr) << "focus on " << ControlName(FocusedId());
        PumpPending();
        EXPECT_EQ(TakeQuitCode(), kNoQuit);
        EXPECT_TRUE(IsWindowEnabled(g_hMainWnd));
        EXPECT_EQ(ControlText(IDC_PRICE), "2");
        EXPECT_EQ(ControlText(IDC_ANNUAL_SALES), "$0.00  ");
        // Tab's command with no focus at all moves on from id 0: to the
        // Quit button, id 1.
        PostMessageA(g_hMainWnd, WM_COMMAND, CMD_NEXT_FIELD, 0);
        PumpPending();
        EXPECT_EQ(ControlName(FocusedId()), ControlName(IDOK));
    }
}

TEST_F(FocusTest, AltLettersWorkAgainAfterTheFocusLeftEveryWindow) {
    struct Row {
        WORD letter;
        int field;
    };
    const Row rows[] = {{'P', IDC_PRICE}, {'C', IDC_COST}, {'B', IDC_BUY}, {'S', IDC_SELL}};
    ASSERT_TRUE(BringToFront());
    for (int id : {IDC_PRICE, IDC_COST, IDC_BUY, IDC_SELL}) {
        SetControlText(id, "17");
    }
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("Alt+") + static_cast<char>(row.letter));
        FocusField(g_hMainWnd, 999);
        ASSERT_EQ(GetFocus(), nullptr);
        EXPECT_TRUE(PressKeyHolding(row.letter, {VK_MENU}, [&] { return FocusIs(row.field); }))
            << "focus on " << ControlName(FocusedId());
        EXPECT_TRUE(WholeTextSelected(row.field));
    }
}
