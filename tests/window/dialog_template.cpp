#include "dialog_template.h"

#include <cstdint>
#include <cstring>

namespace {

// Walks the template's bytes; every field is little-endian and WORD aligned.
struct Reader {
    const BYTE* at;

    WORD Word() {
        WORD value;
        std::memcpy(&value, at, sizeof value);
        at += sizeof value;
        return value;
    }
    DWORD Dword() {
        DWORD value;
        std::memcpy(&value, at, sizeof value);
        at += sizeof value;
        return value;
    }
    int Short() {
        return static_cast<int16_t>(Word());
    }
    BYTE Byte() {
        return *at++;
    }
    // A zero-terminated UTF-16 text; the templates hold ASCII only.
    std::string Text() {
        std::string text;
        for (WORD c = Word(); c != 0; c = Word()) {
            text += static_cast<char>(c);
        }
        return text;
    }
    // A name or an ordinal: 0 is none, 0xFFFF introduces an ordinal.
    std::string NameOrOrdinal() {
        const WORD first = *reinterpret_cast<const WORD*>(at);
        if (first == 0) {
            at += 2;
            return "";
        }
        if (first == 0xFFFF) {
            at += 2;
            return "#" + std::to_string(Word());
        }
        return Text();
    }
    void AlignToDword(const BYTE* base) {
        while ((at - base) % 4 != 0) {
            ++at;
        }
    }
};

// The predefined control classes are stored as ordinals.
std::string ClassName(const std::string& stored) {
    static const char* const names[] = {"Button",  "Edit",      "Static",
                                        "ListBox", "ScrollBar", "ComboBox"};
    for (int i = 0; i < 6; ++i) {
        if (stored == "#" + std::to_string(0x80 + i)) {
            return names[i];
        }
    }
    return stored;
}

}  // namespace

bool ReadDialogTemplate(const char* name, DialogTemplate& out) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (found == nullptr) {
        return false;
    }
    const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    Reader r{base};
    out = DialogTemplate();
    out.extended = reinterpret_cast<const WORD*>(base)[1] == 0xFFFF;
    if (out.extended) {
        r.Word();  // version
        r.Word();  // signature
        out.helpId = r.Dword();
        out.exStyle = r.Dword();
        out.style = r.Dword();
    } else {
        out.style = r.Dword();
        out.exStyle = r.Dword();
    }
    const int count = r.Word();
    out.x = r.Short();
    out.y = r.Short();
    out.width = r.Short();
    out.height = r.Short();
    out.menu = r.NameOrOrdinal();
    out.className = r.NameOrOrdinal();
    out.caption = r.Text();
    if (out.style & DS_SETFONT) {
        out.pointSize = r.Word();
        if (out.extended) {
            out.weight = r.Word();
            out.italic = r.Byte() != 0;
            out.charset = r.Byte();
        }
        out.font = r.Text();
    }
    for (int i = 0; i < count; ++i) {
        r.AlignToDword(base);
        TemplateControl control;
        if (out.extended) {
            control.helpId = r.Dword();
            control.exStyle = r.Dword();
            control.style = r.Dword();
        } else {
            control.style = r.Dword();
            control.exStyle = r.Dword();
        }
        control.x = r.Short();
        control.y = r.Short();
        control.width = r.Short();
        control.height = r.Short();
        // Both forms keep -1 for "no id"; the classic form in 16 bits.
        control.id = out.extended ? static_cast<int>(r.Dword()) : r.Short();
        control.className = ClassName(r.NameOrOrdinal());
        control.text = r.NameOrOrdinal();
        r.at += r.Word();  // creation data
        out.controls.push_back(control);
    }
    return true;
}
