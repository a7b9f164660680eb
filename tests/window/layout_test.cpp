// The main window, its class, menu, icon and About box, compared control for
// control with the layout they were designed to (positions in dialog units).
#include <gtest/gtest.h>

#include <cstdint>

#include "dialog_template.h"
#include "test_support.h"

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

struct ControlRow {
    int id;
    const char* className;
    const char* text;  // nullptr: filled at run time (the result fields)
    int x, y, width, height;
    DWORD style;
    DWORD exStyle;
};

// The 26 controls in template order, which is also the z-order.
const ControlRow kMainControls[] = {
    {-1, "Button", "", 0, 13, 159, 75, BS_GROUPBOX | BS_RIGHT | WS_DISABLED, WS_EX_DLGMODALFRAME},
    {-1, "Button", "        Calculated        ", 0, 89, 159, 68, BS_GROUPBOX | BS_RIGHT,
     WS_EX_DLGMODALFRAME},
    {110, "Edit", "", 124, 23, 30, 12, WS_BORDER | WS_TABSTOP | ES_RIGHT, 0},
    {111, "Edit", "", 124, 38, 30, 12, WS_BORDER | WS_TABSTOP | ES_RIGHT, 0},
    {112, "Edit", "", 124, 54, 30, 12, WS_BORDER | WS_TABSTOP | ES_RIGHT, 0},
    {113, "Edit", "", 124, 70, 30, 12, WS_BORDER | WS_GROUP | WS_TABSTOP | ES_RIGHT, 0},
    {1000, "Button", "&Recalculate", 3, 164, 49, 14, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 0},
    {1, "Button", "&Quit ", 107, 164, 49, 14, BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 0},
    {-1, "Static", "What is your selling &price", 9, 23, 112, 8, SS_LEFT, 0},
    {-1, "Static", "What is your &cost", 8, 38, 112, 8, SS_LEFT, 0},
    {-1, "Static", "How many will you &sell per month", 8, 70, 112, 8, SS_LEFT, 0},
    {-1, "Static", "How many will you &buy per month", 8, 54, 112, 8, SS_LEFTNOWORDWRAP, 0},
    {-1, "Static", "Annual Sales", 8, 105, 80, 8, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0},
    {-1, "Static", "Gross Profit", 8, 113, 80, 8, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0},
    {-1, "Static", "Gross Profit Percentage", 8, 121, 80, 8, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0},
    {-1, "Static", "Months Supply", 8, 129, 80, 8, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0},
    {-1, "Static", "Average Inventory", 8, 137, 80, 8, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0},
    {-1, "Static", "Return on Inventory", 8, 145, 80, 8, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0},
    {1008, "Static", nullptr, 88, 105, 62, 8, SS_RIGHT | SS_NOPREFIX | SS_SUNKEN, 0},
    {1009, "Static", nullptr, 88, 113, 62, 8, SS_RIGHT | SS_NOPREFIX | SS_SUNKEN, 0},
    {1010, "Static", nullptr, 88, 121, 62, 8, SS_RIGHT | SS_NOPREFIX | SS_SUNKEN, 0},
    {1011, "Static", nullptr, 88, 129, 62, 8, SS_RIGHT | SS_NOPREFIX | SS_SUNKEN, 0},
    {1012, "Static", nullptr, 88, 137, 62, 8, SS_RIGHT | SS_NOPREFIX | SS_SUNKEN, 0},
    {1013, "Static", nullptr, 88, 145, 62, 8, SS_RIGHT | SS_NOPREFIX | SS_SUNKEN, 0},
    {-1, "Static", "Varnok  " PUBLISHER_PHONE, 0, 0, 159, 12,
     SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX | SS_SUNKEN | WS_GROUP, WS_EX_CLIENTEDGE},
    {1015, "Button", "&Website", 55, 164, 49, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
};

const ControlRow kAboutControls[] = {
    {-1, "Static", "KEM Calculator", 0, 5, 100, 8, SS_CENTER | WS_GROUP, 0},
    {-1, "Static", PUBLISHER_NOTICE, 0, 14, 100, 8, SS_CENTER | WS_GROUP, 0},
    {-1, "Static", "Varnok", 0, 34, 100, 8, SS_CENTER | WS_GROUP, 0},
    {-1, "Static", PUBLISHER_PHONE, 0, 49, 100, 8, SS_CENTER | WS_GROUP, 0},
    {1, "Button", "OK", 36, 60, 28, 12, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 0},
};

std::string WindowText(HWND hwnd) {
    char text[256] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

std::string ClassName(HWND hwnd) {
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// The stored template, exactly: every bit of every style.
void ExpectTemplateControls(const DialogTemplate& dialog, const ControlRow* rows,
                            std::size_t count) {
    ASSERT_EQ(dialog.controls.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
        const TemplateControl& control = dialog.controls[i];
        const ControlRow& row = rows[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1) + " \"" + control.text + "\"");
        EXPECT_EQ(control.id, row.id);
        EXPECT_EQ(control.className, row.className);
        EXPECT_EQ(control.text, row.text != nullptr ? row.text : "");
        EXPECT_EQ(control.x, row.x);
        EXPECT_EQ(control.y, row.y);
        EXPECT_EQ(control.width, row.width);
        EXPECT_EQ(control.height, row.height);
        EXPECT_EQ(control.style, kChild | row.style) << std::hex << "style " << control.style;
        EXPECT_EQ(control.exStyle, row.exStyle) << std::hex << "extended style";
        EXPECT_EQ(control.helpId, 0u);
    }
}

// The window built from the template: the children in z-order, where the
// platform placed them. Styles are not compared here: the dialog manager
// and the controls adjust some bits (an edit's border becomes a client edge).
void ExpectWindowControls(HWND dialog, const ControlRow* rows, std::size_t count) {
    std::size_t index = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT), ++index) {
        if (index >= count) {
            ADD_FAILURE() << "unexpected control " << WindowText(child);
            continue;
        }
        const ControlRow& row = rows[index];
        SCOPED_TRACE("control #" + std::to_string(index + 1) + " \"" + WindowText(child) + "\"");
        // A classic template keeps ids in 16 bits: -1 reads back as 0xFFFF.
        EXPECT_EQ(static_cast<int16_t>(GetDlgCtrlID(child)), row.id);
        EXPECT_STRCASEEQ(ClassName(child).c_str(), row.className);
        if (row.text != nullptr) {
            EXPECT_EQ(WindowText(child), row.text);
        }
        EXPECT_TRUE(IsWindowVisible(child));
        // Position and size are converted from dialog units one by one.
        RECT expected = {row.x, row.y, row.width, row.height};
        MapDialogRect(dialog, &expected);
        RECT actual;
        GetWindowRect(child, &actual);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        EXPECT_EQ(actual.right - actual.left, expected.right) << "width";
        EXPECT_EQ(actual.bottom - actual.top, expected.bottom) << "height";
    }
    EXPECT_EQ(index, count) << "number of controls";
}

}  // namespace

using LayoutTest = MainWindowTest;

TEST(TemplateTest, MainWindowTemplateMatchesTheLayout) {
    DialogTemplate dialog;
    ASSERT_TRUE(ReadDialogTemplate("KEMWCLASS", dialog));
    EXPECT_TRUE(dialog.extended);
    EXPECT_EQ(dialog.style, static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                                               DS_SETFONT | DS_LOCALEDIT))
        << std::hex << dialog.style;
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(dialog.helpId, 0u);
    EXPECT_EQ(dialog.x, 64);
    EXPECT_EQ(dialog.y, 64);
    EXPECT_EQ(dialog.width, 159);
    EXPECT_EQ(dialog.height, 193);
    EXPECT_EQ(dialog.menu, "");
    EXPECT_STRCASEEQ(dialog.className.c_str(), "KEMWClass");
    EXPECT_EQ(dialog.caption, "KEM Calculator - Varnok");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.font, "System");
    EXPECT_EQ(dialog.weight, 0);
    EXPECT_FALSE(dialog.italic);
    EXPECT_EQ(dialog.charset, DEFAULT_CHARSET);
    ExpectTemplateControls(dialog, kMainControls, std::size(kMainControls));
}

TEST(TemplateTest, AboutBoxTemplateMatchesTheLayout) {
    DialogTemplate dialog;
    ASSERT_TRUE(ReadDialogTemplate("ABOUTBOX", dialog));
    EXPECT_FALSE(dialog.extended);
    EXPECT_EQ(dialog.style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT))
        << std::hex << dialog.style;
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(dialog.x, 6);
    EXPECT_EQ(dialog.y, 17);
    EXPECT_EQ(dialog.width, 100);
    EXPECT_EQ(dialog.height, 75);
    EXPECT_EQ(dialog.className, "");
    EXPECT_EQ(dialog.caption, "About KEM Calculator");
    EXPECT_EQ(dialog.pointSize, 12);
    EXPECT_EQ(dialog.font, "Times New Roman");
    ExpectTemplateControls(dialog, kAboutControls, std::size(kAboutControls));
}

TEST_F(LayoutTest, MainWindowShowsTheTemplateControlForControl) {
    ExpectWindowControls(g_hMainWnd, kMainControls, std::size(kMainControls));
}

TEST_F(LayoutTest, MainWindowIsAFixedSizeOverlappedWindowWithCaptionAndMenu) {
    EXPECT_EQ(WindowText(g_hMainWnd), "KEM Calculator - Varnok");
    EXPECT_EQ(ClassName(g_hMainWnd), "KEMWClass");
    const DWORD style = GetWindowLongA(g_hMainWnd, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX) << "can be minimized";
    EXPECT_FALSE(style & WS_MAXIMIZEBOX) << "cannot be maximized";
    EXPECT_FALSE(style & WS_THICKFRAME) << "cannot be resized";
    EXPECT_FALSE(style & WS_POPUP) << "an overlapped window";
    EXPECT_TRUE(IsWindowVisible(g_hMainWnd));
    EXPECT_EQ(GetWindow(g_hMainWnd, GW_OWNER), nullptr) << "no owner";
}

TEST(MainClassTest, ClassAttributes) {
    RegisterClassesOnce();
    HMODULE module = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    ASSERT_TRUE(GetClassInfoA(module, "KEMWClass", &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(wc.lpfnWndProc, MainWindowProc);
    EXPECT_EQ(wc.cbClsExtra, 0);
    EXPECT_EQ(wc.cbWndExtra, 30);
    EXPECT_EQ(wc.hInstance, module);
    EXPECT_NE(wc.hIcon, nullptr);
    EXPECT_EQ(wc.hIcon, LoadIconA(module, "PROGICON"));
    EXPECT_EQ(wc.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(reinterpret_cast<INT_PTR>(wc.hbrBackground), 16);
    ASSERT_NE(wc.lpszMenuName, nullptr);
    EXPECT_STRCASEEQ(wc.lpszMenuName, "KEMMenu");
}

TEST_F(LayoutTest, MenuBarHasClearFieldsAndTheHelpPopup) {
    struct MenuRow {
        int position;
        UINT id;  // 0 for a pop-up or a separator
        const char* text;
        bool popup;
        bool separator;
    };
    const MenuRow bar[] = {
        {0, 102, "Clear &Fields", false, false},
        {1, 0, "&Help", true, false},
    };
    const MenuRow help[] = {
        {0, 103, "Online &Help", false, false},
        {1, 0, "", false, true},
        {2, 100, "&About KEM...", false, false},
    };
    HMENU menu = GetMenu(g_hMainWnd);
    ASSERT_NE(menu, nullptr);
    auto expectItems = [](HMENU m, const MenuRow* rows, int count) {
        ASSERT_EQ(GetMenuItemCount(m), count);
        for (int i = 0; i < count; ++i) {
            SCOPED_TRACE(rows[i].text);
            char text[64] = "";
            MENUITEMINFOA info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
            info.dwTypeData = text;
            info.cch = sizeof text;
            ASSERT_TRUE(GetMenuItemInfoA(m, rows[i].position, TRUE, &info));
            EXPECT_EQ(info.hSubMenu != nullptr, rows[i].popup);
            EXPECT_EQ((info.fType & MFT_SEPARATOR) != 0, rows[i].separator);
            if (!rows[i].popup && !rows[i].separator) {
                EXPECT_EQ(info.wID, rows[i].id);
            }
            EXPECT_STREQ(text, rows[i].text);
        }
    };
    expectItems(menu, bar, 2);
    expectItems(GetSubMenu(menu, 1), help, 3);
}

TEST(IconTest, GroupHoldsThreeImagesIn16And256Colours) {
    struct IconRow {
        int size;
        int colours;  // 0 means 256 or more
        int bitsPerPixel;
    };
    const IconRow expected[] = {{32, 16, 4}, {32, 0, 8}, {16, 16, 4}};
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, "PROGICON", MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_NE(found, nullptr);
    const BYTE* group = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    const WORD* header = reinterpret_cast<const WORD*>(group);
    ASSERT_EQ(header[1], 1) << "icon, not cursor";
    ASSERT_EQ(header[2], std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        const BYTE* entry = group + 6 + 14 * i;  // GRPICONDIRENTRY, 14 bytes each
        EXPECT_EQ(entry[0], expected[i].size);
        EXPECT_EQ(entry[1], expected[i].size);
        EXPECT_EQ(entry[2], expected[i].colours);
        EXPECT_EQ(entry[6], expected[i].bitsPerPixel);
    }
}

TEST_F(LayoutTest, AboutBoxShowsItsTemplateControlForControl) {
    std::string caption;
    ASSERT_TRUE(WithAboutBoxOpen([&](HWND box) {
        caption = WindowText(box);
        ExpectWindowControls(box, kAboutControls, std::size(kAboutControls));
        SendDlgItemMessageA(box, IDOK, BM_CLICK, 0, 0);
    }));
    EXPECT_EQ(caption, "About KEM Calculator");
}
