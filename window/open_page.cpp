// Opens one of the publisher's pages in the user's web browser.
#include <cstring>

#include "window.h"

#include <shellapi.h>

namespace {

constexpr std::size_t kCommandLineSize = 80;

static_assert(sizeof StartCommand - 1 + sizeof WebsitePage <= kCommandLineSize);
static_assert(sizeof StartCommand - 1 + sizeof HelpPage <= kCommandLineSize);

// WinExec reports failure with a value of 31 or less.
constexpr UINT kWinExecFailedMax = 31;

// The shell's own URL handler, asked to show nothing when it fails: plain
// ShellExecuteA may put up an error box or ask which program to use when no
// handler for the address exists. The call waits until the launch is done,
// so a quit right after it cannot cut the launch short.
void OpenWithShell(const char* address) {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = "open";
    info.lpFile = address;
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
}

}  // namespace

void OpenPage(const char* address) {
    // A plain copy, not snprintf: the C runtime's formatter would be the
    // largest part of kem.exe.
    constexpr std::size_t prefixLength = sizeof StartCommand - 1;
    const std::size_t addressLength = std::strlen(address);
    // A cut command line would open a wrong address: open none.
    if (prefixLength + addressLength >= kCommandLineSize) {
        return;
    }
    char commandLine[kCommandLineSize];
    std::memcpy(commandLine, StartCommand, prefixLength);
    std::memcpy(commandLine + prefixLength, address, addressLength + 1);
    if (WinExec(commandLine, SW_HIDE) > kWinExecFailedMax) {
        return;
    }
    // Current Windows has "start" only as a command-interpreter built-in, so
    // the launch above finds no program there. The shell opens the address
    // instead; its failure is ignored like the first one.
    OpenWithShell(address);
}
