// The entry point of kem.exe. Every start-up failure ends the program
// silently with exit code 0: there is no one to report it to.
#include "keyboard.h"
#include "window.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR /*lpCmdLine*/,
                   int nCmdShow) {
    // The control superclasses come first: the main window's template
    // creates its fields and buttons from them.
    if (!RegisterEditFilter(hInstance) || !RegisterButtonFilter(hInstance)) {
        return 0;
    }
    if (hPrevInstance == nullptr && !RegisterMainClass(hInstance)) {
        return 0;
    }
    if (!CreateMainWindow(hInstance, nCmdShow)) {
        return 0;
    }
    return RunMessageLoop();
}
