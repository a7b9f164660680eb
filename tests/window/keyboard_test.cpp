// Every key of the key tables, pressed as real input (SendInput) through the
// system's input queue into whatever has the focus, the way a user types.
#include <gtest/gtest.h>

#include "keyboard.h"
#include "test_support.h"

namespace {

constexpr int kRing[] = {IDC_PRICE,       IDC_COST,    IDC_BUY, IDC_SELL,
                         IDC_RECALCULATE, IDC_WEBSITE, IDOK};

bool IsInputField(int id) {
    return id >= IDC_PRICE && id <= IDC_SELL;
}

bool FocusIs(int id) {
    return FocusedId() == id;
}

class KeyboardTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(BringToFront()) << "real key input goes to the foreground window";
    }

    void FocusControl(int id) {
        SetFocus(GetDlgItem(g_hMainWnd, id));
    }

    // Presses a key, modifiers held, and pumps until `done` holds.
    bool PressAndWait(WORD key, std::initializer_list<WORD> modifiers,
                      const std::function<bool()>& done) {
        return PressKeyHolding(key, modifiers, done);
    }
};

// The flash of a button as the control watch saw it: pushed in, then
// released at least the flash time later.
void ExpectFlash(const std::vector<ControlEvent>& events, int buttonId, double* releasedAt) {
    std::vector<ControlEvent> states;
    for (const ControlEvent& event : events) {
        if (event.message == BM_SETSTATE && event.id == buttonId) {
            states.push_back(event);
        }
    }
    ASSERT_EQ(states.size(), 2u) << "one push and one release of " << ControlName(buttonId);
    EXPECT_EQ(states[0].wParam, 1u);
    EXPECT_TRUE(states[0].drawnPushed) << "drawn pushed in during the flash";
    EXPECT_EQ(states[1].wParam, 0u);
    EXPECT_FALSE(states[1].drawnPushed) << "drawn normal after the flash";
    // Sleep(100) on the interface thread; the timer may round a little.
    EXPECT_GE(states[1].ms - states[0].ms, 95.0) << "flash length";
    *releasedAt = states[1].ms;
}

}  // namespace

TEST_F(KeyboardTest, TabAndShiftTabWalkTheWholeRingSelectingEachField) {
    for (int id : {IDC_PRICE, IDC_COST, IDC_BUY, IDC_SELL}) {
        SetControlText(id, "12.5");
    }
    FocusControl(IDC_PRICE);
    for (int step = 1; step <= 7; ++step) {
        const int expected = kRing[step % 7];
        SCOPED_TRACE("Tab to " + ControlName(expected));
        EXPECT_TRUE(PressAndWait(VK_TAB, {}, [&] { return FocusIs(expected); }))
            << "focus on " << ControlName(FocusedId());
        if (IsInputField(expected)) {
            EXPECT_TRUE(WholeTextSelected(expected));
        }
    }
    for (int step = 6; step >= 0; --step) {
        const int expected = kRing[step];
        SCOPED_TRACE("Shift+Tab to " + ControlName(expected));
        EXPECT_TRUE(PressAndWait(VK_TAB, {VK_SHIFT}, [&] { return FocusIs(expected); }))
            << "focus on " << ControlName(FocusedId());
        if (IsInputField(expected)) {
            EXPECT_TRUE(WholeTextSelected(expected));
        }
    }
}

TEST_F(KeyboardTest, TypedKeysReachTheFieldsAndEnterRecalculatesEverywhere) {
    // Characters are not filtered: typed keys land in the field.
    FocusControl(IDC_PRICE);
    TypeKeys("$10");
    FocusControl(IDC_COST);
    TypeKeys("$8");
    FocusControl(IDC_BUY);
    TypeKeys("50");
    FocusControl(IDC_SELL);
    TypeKeys("5");
    ASSERT_TRUE(PumpUntil([] { return InputQueueEmpty() && ControlText(IDC_SELL) == "5"; }));
    EXPECT_EQ(ControlText(IDC_PRICE), "$10");
    EXPECT_EQ(ControlText(IDC_COST), "$8");
    EXPECT_EQ(ControlText(IDC_BUY), "50");

    // Enter on every stop, the Quit and Website buttons included, recalculates
    // and does not press the button. Each stop sees a new price.
    int price = 1;
    for (int from : kRing) {
        SCOPED_TRACE("Enter on " + ControlName(from));
        ++price;
        SetControlText(IDC_PRICE, std::to_string(price).c_str());
        const std::string expected = "$" + std::to_string(price * 5 * 12) + ".00  ";
        FocusControl(from);
        EXPECT_TRUE(PressAndWait(VK_RETURN, {}, [&] {
            return ControlText(IDC_ANNUAL_SALES) == expected && FocusIs(IDC_PRICE);
        })) << ControlText(IDC_ANNUAL_SALES);
        EXPECT_TRUE(WholeTextSelected(IDC_PRICE));
        EXPECT_EQ(TakeQuitCode(), kNoQuit);
    }
}

TEST_F(KeyboardTest, SpaceOnAFocusedButtonStillClicksIt) {
    SetControlText(IDC_PRICE, "3");
    SetControlText(IDC_SELL, "1");
    FocusControl(IDC_RECALCULATE);
    EXPECT_TRUE(
        PressAndWait(VK_SPACE, {}, [] { return ControlText(IDC_ANNUAL_SALES) == "$36.00  "; }));

    FocusControl(IDOK);
    PressKey(VK_SPACE);
    EXPECT_EQ(RunLoopWithWatchdog(), 0) << "Space on Quit quits";
}

TEST_F(KeyboardTest, EscapeAnywhereOnTheRingQuitsWithCodeZero) {
    for (int from : kRing) {
        SCOPED_TRACE("Escape on " + ControlName(from));
        FocusControl(from);
        PressKey(VK_ESCAPE);
        EXPECT_EQ(RunLoopWithWatchdog(), 0);
    }
}

TEST_F(KeyboardTest, AltLettersMoveToTheirFieldsWithTheTextSelected) {
    struct Row {
        WORD letter;
        int field;
    };
    const Row rows[] = {{'P', IDC_PRICE}, {'C', IDC_COST}, {'B', IDC_BUY}, {'S', IDC_SELL}};
    for (int id : {IDC_PRICE, IDC_COST, IDC_BUY, IDC_SELL}) {
        SetControlText(id, "42");
    }
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("Alt+") + static_cast<char>(row.letter));
        FocusControl(IDOK);
        EXPECT_TRUE(PressAndWait(row.letter, {VK_MENU}, [&] { return FocusIs(row.field); }))
            << "focus on " << ControlName(FocusedId());
        EXPECT_TRUE(WholeTextSelected(row.field));
    }
}

TEST_F(KeyboardTest, AltRFlashesRecalculateThenRecalculates) {
    SetControlText(IDC_PRICE, "2");
    SetControlText(IDC_COST, "1");
    SetControlText(IDC_BUY, "3");
    SetControlText(IDC_SELL, "2");
    FocusControl(IDC_SELL);
    StartControlWatch();
    const bool done = PressAndWait('R', {VK_MENU}, [] {
        return ControlText(IDC_RETURN_ON_INVENTORY) == ">1000.00%" && FocusIs(IDC_PRICE);
    });
    const std::vector<ControlEvent> events = StopControlWatch();
    EXPECT_TRUE(done);
    double releasedAt = 0;
    ExpectFlash(events, IDC_RECALCULATE, &releasedAt);
    for (const ControlEvent& event : events) {
        if (event.message == WM_SETTEXT && event.id == IDC_ANNUAL_SALES) {
            EXPECT_GE(event.ms, releasedAt) << "results written only after the flash";
        }
    }
    EXPECT_EQ(ControlText(IDC_ANNUAL_SALES), "$48.00  ");
}

TEST_F(KeyboardTest, AltQFlashesQuitThenQuits) {
    FocusControl(IDC_BUY);
    StartControlWatch();
    PressKey('Q', {VK_MENU});
    const int exitCode = RunLoopWithWatchdog();
    const std::vector<ControlEvent> events = StopControlWatch();
    EXPECT_EQ(exitCode, 0);
    double releasedAt = 0;
    ExpectFlash(events, IDOK, &releasedAt);
}

TEST_F(KeyboardTest, AltFChoosesClearFieldsOnTheMenuBar) {
    for (int id : {IDC_PRICE, IDC_COST, IDC_BUY, IDC_SELL}) {
        SetControlText(id, "7");
    }
    SendMessageA(g_hMainWnd, WM_COMMAND, IDC_RECALCULATE, 0);
    ASSERT_EQ(ControlText(IDC_ANNUAL_SALES), "$588.00  ");
    FocusControl(IDC_COST);
    EXPECT_TRUE(PressAndWait('F', {VK_MENU}, [] {
        return ControlText(IDC_PRICE).empty() && ControlText(IDC_SELL).empty() &&
               ControlText(IDC_ANNUAL_SALES) == "$0.00  " && FocusIs(IDC_PRICE);
    })) << ControlText(IDC_ANNUAL_SALES);
}

TEST_F(KeyboardTest, AltHOpensTheHelpMenu) {
    HMENU shown = nullptr;
    FocusControl(IDC_PRICE);
    const bool opened =
        InsideModalLoop([] { PressKey('H', {VK_MENU}); },
                        [] {
                            HWND popup = FindWindowA("#32768", nullptr);
                            return popup != nullptr && IsWindowVisible(popup) ? popup : nullptr;
                        },
                        [&](HWND popup) {
                            shown = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
                            EndMenu();
                        });
    EXPECT_TRUE(opened);
    EXPECT_EQ(shown, GetSubMenu(GetMenu(g_hMainWnd), 1));
    PumpUntil(InputQueueEmpty);
}

TEST_F(KeyboardTest, AltF4ClosesWithCodeZero) {
    FocusControl(IDC_PRICE);
    PressKey(VK_F4, {VK_MENU});
    EXPECT_EQ(RunLoopWithWatchdog(), 0);
}

TEST_F(KeyboardTest, AltQInTheAboutBoxActsOnTheMainWindow) {
    std::vector<ControlEvent> events;
    StartControlWatch();
    ASSERT_TRUE(WithAboutBoxOpen([](HWND) { PressKey('Q', {VK_MENU}); }));
    events = StopControlWatch();
    // The quit ended the box's modal loop and was passed on to the main loop.
    EXPECT_EQ(TakeQuitCode(), 0);
    double releasedAt = 0;
    ExpectFlash(events, IDOK, &releasedAt);
}

TEST(KeyboardClassTest, SuperclassesKeepTheSystemClassesButFilterKeys) {
    RegisterClassesOnce();
    HINSTANCE module = GetModuleHandleA(nullptr);
    struct Row {
        const char* name;
        WNDPROC filter;
        WNDPROC saved;
    };
    const Row rows[] = {{"Edit", EditFilterProc, g_pfnEditProc},
                        {"Button", ButtonFilterProc, g_pfnButtonProc}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WNDCLASSA system = {}, ours = {};
        ASSERT_TRUE(GetClassInfoA(nullptr, row.name, &system));
        ASSERT_TRUE(GetClassInfoA(module, row.name, &ours));
        EXPECT_EQ(ours.lpfnWndProc, row.filter);
        EXPECT_EQ(row.saved, system.lpfnWndProc);
        EXPECT_EQ(ours.hInstance, module);
        EXPECT_EQ(ours.style, system.style);
        EXPECT_EQ(ours.cbClsExtra, system.cbClsExtra);
        EXPECT_EQ(ours.cbWndExtra, system.cbWndExtra);
        EXPECT_EQ(ours.hCursor, system.hCursor);
        EXPECT_EQ(ours.hbrBackground, system.hbrBackground);
    }
    // Registered once only.
    EXPECT_FALSE(RegisterEditFilter(module));
    EXPECT_FALSE(RegisterButtonFilter(module));
}
