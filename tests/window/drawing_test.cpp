// The result texts as they reach the screen: every row of their pixels,
// down to the tail of "$" and the descenders, inside the sunken fields.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

// The first and last pixel rows of a picture that hold anything but the
// background; -1 when there is none.
struct InkRows {
    int top = -1;
    int bottom = -1;
};

InkRows FindInkRows(HDC picture, int width, int height, COLORREF background) {
    InkRows rows;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (GetPixel(picture, x, y) != background) {
                rows.top = rows.top < 0 ? y : rows.top;
                rows.bottom = y;
                break;
            }
        }
    }
    return rows;
}

// A picture of `width` by `height` pixels to draw into or copy to.
struct Picture {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

Picture MakePicture(int width, int height) {
    HDC screen = GetDC(nullptr);
    Picture picture;
    picture.dc = CreateCompatibleDC(screen);
    picture.bitmap = CreateCompatibleBitmap(screen, width, height);
    picture.old = SelectObject(picture.dc, picture.bitmap);
    ReleaseDC(nullptr, screen);
    return picture;
}

void FreePicture(const Picture& picture) {
    SelectObject(picture.dc, picture.old);
    DeleteObject(picture.bitmap);
    DeleteDC(picture.dc);
}

// What the screen shows inside a field: its client area, read back from the
// display, not from the window's own drawing.
struct Field {
    HWND window;
    POINT origin;  // of the client area, on the screen
    int width;
    int height;
};

Field FindField(int id) {
    Field field = {GetDlgItem(g_hMainWnd, id), {0, 0}, 0, 0};
    RECT client;
    GetClientRect(field.window, &client);
    ClientToScreen(field.window, &field.origin);
    field.width = client.right;
    field.height = client.bottom;
    return field;
}

COLORREF ScreenBackground(const Field& field) {
    HDC screen = GetDC(nullptr);
    // A right-aligned text never reaches the top left corner.
    const COLORREF background = GetPixel(screen, field.origin.x, field.origin.y);
    ReleaseDC(nullptr, screen);
    return background;
}

InkRows ScreenInk(const Field& field, COLORREF background) {
    const Picture picture = MakePicture(field.width, field.height);
    HDC screen = GetDC(nullptr);
    BitBlt(picture.dc, 0, 0, field.width, field.height, screen, field.origin.x, field.origin.y,
           SRCCOPY);
    ReleaseDC(nullptr, screen);
    const InkRows rows = FindInkRows(picture.dc, field.width, field.height, background);
    FreePicture(picture);
    return rows;
}

// The field's text drawn with the field's own font at the top of a picture
// three times the field's height, where nothing can cut it off.
InkRows WholeTextInk(const Field& field, const std::string& text, COLORREF background) {
    const int height = 3 * field.height;
    const Picture picture = MakePicture(field.width, height);
    HBRUSH brush = CreateSolidBrush(background);
    const RECT all = {0, 0, field.width, height};
    FillRect(picture.dc, &all, brush);
    DeleteObject(brush);
    SelectObject(picture.dc, reinterpret_cast<HFONT>(SendMessageA(field.window, WM_GETFONT, 0, 0)));
    SetBkMode(picture.dc, TRANSPARENT);
    SetTextColor(picture.dc, GetSysColor(COLOR_WINDOWTEXT));
    TextOutA(picture.dc, 0, 0, text.c_str(), static_cast<int>(text.size()));
    const InkRows rows = FindInkRows(picture.dc, field.width, height, background);
    FreePicture(picture);
    return rows;
}

void ExpectDrawnWhole(int id) {
    const std::string text = ControlText(id);
    SCOPED_TRACE(ControlName(id) + " \"" + text + "\"");
    const Field field = FindField(id);
    const COLORREF background = ScreenBackground(field);
    const InkRows whole = WholeTextInk(field, text, background);
    ASSERT_GE(whole.bottom, 0) << "the text draws nothing";
    EXPECT_LT(whole.bottom, field.height)
        << "the text is " << whole.bottom + 1 << " pixel rows deep, the field " << field.height;
    // Painting and the copy to the display come from the message loop.
    InkRows shown;
    PumpUntil([&] {
        shown = ScreenInk(field, background);
        return shown.top == whole.top && shown.bottom == whole.bottom;
    });
    EXPECT_EQ(shown.top, whole.top) << "highest pixel row of the text on the screen";
    EXPECT_EQ(shown.bottom, whole.bottom) << "lowest pixel row of the text on the screen";
}

class DrawingTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(BringToFront()) << "nothing may cover the fields";
    }
};

}  // namespace

TEST_F(DrawingTest, ResultTextsOfTwoItemsReachTheScreenWhole) {
    const char* const items[][4] = {{"$10", "$8", "50", "5"}, {"5", "6", "10", "10"}};
    for (const auto& item : items) {
        for (int i = 0; i < 4; ++i) {
            SetControlText(kInputIds[i], item[i]);
        }
        PostMessageA(g_hMainWnd, WM_COMMAND, IDC_RECALCULATE, 0);
        PumpPending();
        for (int id : kResultIds) {
            ExpectDrawnWhole(id);
        }
    }
    EXPECT_EQ(ControlText(IDC_RETURN_ON_INVENTORY), "Negative");
}

TEST_F(DrawingTest, TextsWithDescendersReachTheScreenWhole) {
    // The deepest texts a result field shows: the money sign, a "g", a "J".
    for (const char* text : {"$600.00  ", "Too large", "1.#J", "$-120.00  "}) {
        SetControlText(IDC_ANNUAL_SALES, text);
        PumpPending();
        ExpectDrawnWhole(IDC_ANNUAL_SALES);
    }
}
