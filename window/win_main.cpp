// The entry point of kem.exe. Every start-up failure ends the program
// silently with exit code 0: there is no one to report it to.
#include "window.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR /*lpCmdLine*/,
                   int nCmdShow) {
    if (hPrevInstance == nullptr && !RegisterMainClass(hInstance)) {
        return 0;
    }
    if (!CreateMainWindow(hInstance, nCmdShow)) {
        return 0;
    }
    return RunMessageLoop();
}
