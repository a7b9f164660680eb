// Opens one of the publisher's pages in the user's web browser.
#include <cstring>

#include "window.h"

#include <shellapi.h>

namespace {

constexpr char kStartPrefix[] = "start ";
constexpr std::size_t kCommandLineSize = 80;

static_assert(sizeof kStartPrefix - 1 + sizeof WebsitePage <= kCommandLineSize);
static_assert(sizeof kStartPrefix - 1 + sizeof HelpPage <= kCommandLineSize);

// WinExec reports failure with a value of 31 or less.
constexpr UINT kWinExecFailedMax = 31;

}  // namespace

void OpenPage(const char* address) {
    // A plain copy, not snprintf: the C runtime's formatter would be the
    // largest part of kem.exe.
    constexpr std::size_t prefixLength = sizeof kStartPrefix - 1;
    const std::size_t addressLength = std::strlen(address);
    // A cut command line would open a wrong address: open none.
    if (prefixLength + addressLength >= kCommandLineSize) {
        return;
    }
    char commandLine[kCommandLineSize];
    std::memcpy(commandLine, kStartPrefix, prefixLength);
    std::memcpy(commandLine + prefixLength, address, addressLength + 1);
    if (WinExec(commandLine, SW_HIDE) > kWinExecFailedMax) {
        return;
    }
    // Current Windows has "start" only as a command-interpreter built-in, so
    // the launch above finds no program there. The shell's own URL handler
    // opens the address instead; its failure is ignored like the first one.
    ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}
