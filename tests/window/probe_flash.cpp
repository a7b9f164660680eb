// How long a control looks different on the screen: the pixels the display
// shows, read back through Wine from the X server, not the control's state.
#include <cstdio>
#include <cstring>

#include "probe.h"

namespace {

// A copy of a piece of the screen, 32 bits a pixel, top row first.
struct Capture {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    void* bits;
    std::size_t size;
};

Capture MakeCapture(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    Capture capture = {CreateCompatibleDC(nullptr), nullptr, nullptr, nullptr,
                       static_cast<std::size_t>(width) * height * 4};
    capture.bitmap = CreateDIBSection(capture.dc, &info, DIB_RGB_COLORS, &capture.bits, nullptr, 0);
    capture.old = SelectObject(capture.dc, capture.bitmap);
    return capture;
}

void FreeCapture(const Capture& capture) {
    SelectObject(capture.dc, capture.old);
    DeleteObject(capture.bitmap);
    DeleteDC(capture.dc);
}

void Grab(const Capture& capture, const RECT& rect) {
    HDC screen = GetDC(nullptr);
    BitBlt(capture.dc, 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen, rect.left,
           rect.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();
}

bool SameLook(const Capture& a, const Capture& b) {
    return std::memcmp(a.bits, b.bits, a.size) == 0;
}

double NowMs() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int MeasureFlash(HWND window, int argc, char** argv) {
    int id = 0;
    if (!ArgId(argc, argv, 1, id)) {
        return 2;
    }
    RECT rect;
    GetWindowRect(GetDlgItem(window, id), &rect);
    const Capture normal = MakeCapture(rect.right - rect.left, rect.bottom - rect.top);
    const Capture now = MakeCapture(rect.right - rect.left, rect.bottom - rect.top);
    Grab(normal, rect);
    // The caller presses the key once it reads this.
    std::printf("ready\n");
    std::fflush(stdout);

    const double deadline = NowMs() + ArgMs(argc, argv, 2);
    double changed = -1, back = -1;
    while (back < 0 && NowMs() < deadline) {
        Grab(now, rect);
        const bool same = SameLook(normal, now);
        if (changed < 0 && !same) {
            changed = NowMs();
        } else if (changed >= 0 && same) {
            back = NowMs();
        }
        Sleep(1);
    }
    // Never changed: 0; changed and never back: until the deadline.
    const double pushed = changed < 0 ? 0 : (back < 0 ? NowMs() : back) - changed;
    std::printf("pushed %.0f\n", pushed);
    FreeCapture(normal);
    FreeCapture(now);
    return 0;
}
