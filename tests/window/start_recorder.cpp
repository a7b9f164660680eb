// A stand-in for the "start" program that opens pages: it appends its own
// command line, as the system passed it, to the file named by the
// environment variable KEM_START_RECORD, and opens nothing.
#include <windows.h>

#include <cstdio>

int main() {
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("KEM_START_RECORD", path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return 1;
    }
    std::FILE* record = std::fopen(path, "ab");
    if (record == nullptr) {
        return 1;
    }
    // One write of the whole line, so a reader never sees half of it end in
    // a line break.
    char line[1024];
    const int size = std::snprintf(line, sizeof line, "%s\n", GetCommandLineA());
    if (size > 0 && static_cast<std::size_t>(size) < sizeof line) {
        std::fwrite(line, 1, size, record);
    }
    std::fclose(record);
    return 0;
}
