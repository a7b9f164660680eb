// Start-up state, recalculation, Clear Fields, the focus ring, the About box
// and quitting, all through real messages to the real main window.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

// What the six result fields show with all four inputs 0.
const char* const kZeroTexts[] = {"$0.00  ", "$0.00  ", "0.00%", "0.00  ", "$0.00  ", "0.00%"};

void ExpectResults(const char* const (&expected)[6]) {
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(ControlText(kResultIds[i]), expected[i]) << ControlName(kResultIds[i]);
    }
}

void ClickButton(int id) {
    SendDlgItemMessageA(g_hMainWnd, id, BM_CLICK, 0, 0);
    PumpPending();
}

void PostCommand(WPARAM command) {
    PostMessageA(g_hMainWnd, WM_COMMAND, command, 0);
    PumpPending();
}

void FillInputs(const char* price, const char* cost, const char* bought, const char* sold) {
    const char* texts[] = {price, cost, bought, sold};
    for (int i = 0; i < 4; ++i) {
        SetControlText(kInputIds[i], "");
        TypeText(kInputIds[i], texts[i]);
    }
}

}  // namespace

TEST_F(MainWindowTest, StartsWithEmptyFieldsZeroResultsAndFocusInPrice) {
    RestartMainWindow();
    for (int id : kInputIds) {
        EXPECT_EQ(ControlText(id), "") << ControlName(id);
    }
    ExpectResults(kZeroTexts);
    EXPECT_EQ(ControlName(FocusedId()), ControlName(IDC_PRICE));
}

TEST_F(MainWindowTest, RecalculateButtonShowsTheFiguresOfTheTypedItem) {
    struct Row {
        const char* inputs[4];
        const char* results[6];
    };
    const Row rows[] = {
        {{"2", "1", "3", "2"},
         {"$48.00  ", "$24.00  ", "50.00%", "1.50  ", "$1.50  ", ">1000.00%"}},
        {{"$10", "$8", "50", "5"},
         {"$600.00  ", "$120.00  ", "20.00%", "10.00  ", "$200.00  ", "           60.00%"}},
        {{"5", "6", "10", "10"},
         {"$600.00  ", "$-120.00  ", "-20.00%", "1.00  ", "$30.00  ", "Negative"}},
        {{"0", "5", "0", "10"},
         {"$0.00  ", "$-600.00  ", "Infinite", "0.00  ", "$0.00  ", "Infinite"}},
        {{"0", "5", "10", "0"},
         {"$0.00  ", "$0.00  ", "0.00%", "Infinite", "$25.00  ", "            0.00%"}},
        // Junk after a number is ignored; a "$" counts only on price and cost.
        {{"12abc", " $3", "$4", "1"},
         {"$144.00  ", "$144.00  ", "100.00%", "0.00  ", "$0.00  ", "Infinite"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("inputs ") + row.inputs[0] + " | " + row.inputs[1] + " | " +
                     row.inputs[2] + " | " + row.inputs[3]);
        FillInputs(row.inputs[0], row.inputs[1], row.inputs[2], row.inputs[3]);
        ClickButton(IDC_RECALCULATE);
        ExpectResults(row.results);
        EXPECT_EQ(ControlName(FocusedId()), ControlName(IDC_PRICE));
        EXPECT_TRUE(WholeTextSelected(IDC_PRICE));
    }
}

TEST_F(MainWindowTest, OnlyTheFirst19CharactersOfAFieldAreRead) {
    // Wider than the field, so set rather than typed: a 1 and twenty zeros
    // is read as a 1 and eighteen zeros.
    SetControlText(IDC_PRICE, "100000000000000000000");
    SetControlText(IDC_SELL, "1");
    PostCommand(IDC_RECALCULATE);
    EXPECT_EQ(ControlText(IDC_ANNUAL_SALES), "$12000000000000000000.00  ");
}

TEST_F(MainWindowTest, RecalculateFromAnyFocusSelectsThePriceText) {
    FillInputs("12", "7", "3", "4");
    for (int from : {IDC_PRICE, IDC_COST, IDC_BUY, IDC_SELL, IDC_RECALCULATE, IDC_WEBSITE, IDOK}) {
        SCOPED_TRACE("focus on " + ControlName(from));
        SetFocus(GetDlgItem(g_hMainWnd, from));
        PostCommand(IDC_RECALCULATE);
        EXPECT_EQ(ControlName(FocusedId()), ControlName(IDC_PRICE));
        EXPECT_TRUE(WholeTextSelected(IDC_PRICE));
    }
}

TEST_F(MainWindowTest, TypingWithoutRecalculatingLeavesTheResults) {
    FillInputs("2", "1", "3", "2");
    ExpectResults(kZeroTexts);
}

TEST_F(MainWindowTest, ClearFieldsEmptiesAtOnceAndRecalculatesWhenThePostedCommandRuns) {
    FillInputs("2", "1", "3", "2");
    ClickButton(IDC_RECALCULATE);
    SetFocus(GetDlgItem(g_hMainWnd, IDC_SELL));

    // First half, inside the command: fields empty, focus in price, and the
    // results still those of the last recalculation.
    SendMessageA(g_hMainWnd, WM_COMMAND, CMD_CLEAR_FIELDS, 0);
    for (int id : kInputIds) {
        EXPECT_EQ(ControlText(id), "") << ControlName(id);
    }
    EXPECT_EQ(ControlName(FocusedId()), ControlName(IDC_PRICE));
    EXPECT_EQ(ControlText(IDC_ANNUAL_SALES), "$48.00  ");

    // Second half: the posted recalculation reads the empty fields.
    PumpPending();
    ExpectResults(kZeroTexts);
    EXPECT_EQ(ControlName(FocusedId()), ControlName(IDC_PRICE));
}

TEST_F(MainWindowTest, ClearInputsEmptiesTheFieldsInOrderThenPostsOneRecalculation) {
    FillInputs("2", "1", "3", "2");
    ClickButton(IDC_RECALCULATE);
    StartControlWatch();
    ClearInputs(g_hMainWnd);
    PumpPending();
    const std::vector<ControlEvent> events = StopControlWatch();

    std::vector<int> emptied;
    int commands = 0;
    for (const ControlEvent& event : events) {
        if (event.message == WM_SETTEXT && event.id >= IDC_PRICE && event.id <= IDC_SELL) {
            EXPECT_EQ(event.text, "") << ControlName(event.id);
            EXPECT_EQ(commands, 0) << ControlName(event.id) << " emptied after the command";
            emptied.push_back(event.id);
        } else if (event.message == WM_COMMAND) {
            ++commands;
            EXPECT_EQ(event.wParam, static_cast<WPARAM>(IDC_RECALCULATE));
            EXPECT_EQ(event.lParam, 0);
        }
    }
    EXPECT_EQ(emptied, (std::vector<int>{IDC_PRICE, IDC_COST, IDC_BUY, IDC_SELL}));
    EXPECT_EQ(commands, 1) << "one recalculation, posted";
    // The posted recalculation read the empty fields.
    ExpectResults(kZeroTexts);
}

TEST_F(MainWindowTest, FocusRingWalksForwardAndBackFromEveryStop) {
    struct Stop {
        int id;
        int next;
        int previous;
    };
    const Stop ring[] = {
        {IDC_PRICE, IDC_COST, IDOK},
        {IDC_COST, IDC_BUY, IDC_PRICE},
        {IDC_BUY, IDC_SELL, IDC_COST},
        {IDC_SELL, IDC_RECALCULATE, IDC_BUY},
        {IDC_RECALCULATE, IDC_WEBSITE, IDC_SELL},
        {IDC_WEBSITE, IDOK, IDC_RECALCULATE},
        {IDOK, IDC_PRICE, IDC_WEBSITE},
    };
    FillInputs("1.5", "22", "333", "4444");
    for (const Stop& stop : ring) {
        for (bool forward : {true, false}) {
            const int expected = forward ? stop.next : stop.previous;
            SCOPED_TRACE((forward ? "next from " : "previous from ") + ControlName(stop.id));
            SetFocus(GetDlgItem(g_hMainWnd, stop.id));
            PostCommand(forward ? CMD_NEXT_FIELD : CMD_PREV_FIELD);
            EXPECT_EQ(ControlName(FocusedId()), ControlName(expected));
            if (expected >= IDC_PRICE && expected <= IDC_SELL) {
                EXPECT_TRUE(WholeTextSelected(expected));
            }
        }
    }
}

TEST_F(MainWindowTest, FocusOffTheRingMovesToTheNeighbouringId) {
    // No focus is id 0, whose next id is 1: the Quit button.
    SetFocus(nullptr);
    PostCommand(CMD_NEXT_FIELD);
    EXPECT_EQ(ControlName(FocusedId()), ControlName(IDOK));
}

TEST_F(MainWindowTest, OnlyTheWholeWParamMatchesACommand) {
    FillInputs("2", "1", "3", "2");
    struct Row {
        WPARAM wParam;
        const char* what;
    };
    const Row ignored[] = {
        {MAKEWPARAM(IDC_RECALCULATE, EN_CHANGE), "Recalculate with a notification code"},
        {MAKEWPARAM(CMD_CLEAR_FIELDS, 1), "Clear Fields with a notification code"},
        {MAKEWPARAM(IDOK, 1), "IDOK with a notification code"},
        {MAKEWPARAM(IDCANCEL, EN_KILLFOCUS), "IDCANCEL with a notification code"},
        {101, "an unused id"},
        {IDC_PRICE, "an input field's id"},
    };
    for (const Row& row : ignored) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(SendMessageA(g_hMainWnd, WM_COMMAND, row.wParam, 0), 0);
        PumpPending();
        EXPECT_EQ(TakeQuitCode(), kNoQuit);
        EXPECT_EQ(ControlText(IDC_PRICE), "2");
        EXPECT_EQ(ControlText(IDC_ANNUAL_SALES), "$0.00  ");
    }
}

TEST_F(MainWindowTest, QuitButtonCloseBoxAndCommandsOneAndTwoEndTheLoopWithCodeZero) {
    struct Row {
        const char* what;
        void (*trigger)();
    };
    const Row rows[] = {
        {"Quit button", [] { SendDlgItemMessageA(g_hMainWnd, IDOK, BM_CLICK, 0, 0); }},
        {"close box", [] { PostMessageA(g_hMainWnd, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"command 1", [] { PostMessageA(g_hMainWnd, WM_COMMAND, IDOK, 0); }},
        {"command 2", [] { PostMessageA(g_hMainWnd, WM_COMMAND, IDCANCEL, 0); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        row.trigger();
        EXPECT_EQ(RunLoopWithWatchdog(), 0);
        // Quitting ends the loop; the window goes away with the process.
        EXPECT_TRUE(IsWindow(g_hMainWnd));
    }
}

TEST_F(MainWindowTest, DestroyingTheWindowEndsTheLoopWithCodeZero) {
    DestroyWindow(g_hMainWnd);
    EXPECT_EQ(RunLoopWithWatchdog(), 0);
}

TEST_F(MainWindowTest, AboutBoxIsModalAndClosesWithOkOrCancel) {
    struct Row {
        const char* what;
        void (*close)(HWND box);
    };
    const Row rows[] = {
        {"OK button", [](HWND box) { SendDlgItemMessageA(box, IDOK, BM_CLICK, 0, 0); }},
        {"cancel", [](HWND box) { PostMessageA(box, WM_COMMAND, IDCANCEL, 0); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        bool mainEnabled = true;
        int focusId = 0;
        ASSERT_TRUE(WithAboutBoxOpen([&](HWND box) {
            mainEnabled = IsWindowEnabled(g_hMainWnd);
            focusId = GetDlgCtrlID(GetFocus());
            EXPECT_EQ(GetParent(box), g_hMainWnd) << "owned by the main window";
            row.close(box);
        }));
        EXPECT_FALSE(mainEnabled) << "main window disabled while the box is open";
        EXPECT_EQ(focusId, IDOK) << "the OK button has the focus";
        EXPECT_TRUE(IsWindowEnabled(g_hMainWnd));
        EXPECT_EQ(FindOwnedPopup(), nullptr) << "box closed";
        EXPECT_EQ(TakeQuitCode(), kNoQuit);
    }
}

TEST_F(MainWindowTest, QuitCommandWhileTheAboutBoxIsOpenEndsTheProgram) {
    ASSERT_TRUE(WithAboutBoxOpen([](HWND) { PostMessageA(g_hMainWnd, WM_COMMAND, IDCANCEL, 0); }));
    // The box's modal loop passed the quit on to the main loop.
    EXPECT_EQ(TakeQuitCode(), 0);
    EXPECT_EQ(FindOwnedPopup(), nullptr);
}
