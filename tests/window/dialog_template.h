// Reads a dialog template resource of the test executable, in either the
// classic or the extended form, so tests can compare it with the layout.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct TemplateControl {
    int id = 0;
    std::string className;  // the predefined classes by name: "Button", "Edit", "Static"
    std::string text;
    int x = 0, y = 0, width = 0, height = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    DWORD helpId = 0;
};

struct DialogTemplate {
    bool extended = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    DWORD helpId = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::string menu;
    std::string className;
    std::string caption;
    int pointSize = 0;
    int weight = 0;
    bool italic = false;
    int charset = 0;
    std::string font;
    std::vector<TemplateControl> controls;
};

// False when the resource is missing or not a dialog template.
bool ReadDialogTemplate(const char* name, DialogTemplate& out);
