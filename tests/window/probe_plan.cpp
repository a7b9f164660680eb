// The soak's plan: seeded random keys and clicks for the real program, with
// the focus each step must leave and, after every batch, the page launches
// so far and where the focus must be. The keys, ids, focus moves, captions
// and places come from the program's own tables, so the plan cannot drift
// from what it drives. One step a line; the soak replays them in order:
//
//   batch N                    a new batch begins
//   key KEY...                 xdotool key names, pressed one after another
//   type TEXT                  the rest of the line, typed
//   keydown KEY / keyup KEY    a key held down / let go
//   click PLACE DX             a click DX pixels right of a place's centre
//   selected ID                control ID has the focus, a field its whole text selected
//   popup                      a pop-up menu is open: its places are read
//   about                      the About box is open: its OK button's place is read
//   no-about                   the About box is gone
//   check WEBSITE HELP FOCUS   so many pages launched so far; the results as
//                              kemcalc gives them for the fields; the focus on FOCUS
//   same FOCUS                 the texts as at the last check, the focus on FOCUS
//   quit                       the program ends with exit code 0
#include <cctype>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "focus_ring.h"
#include "keyboard.h"
#include "probe.h"

namespace {

// Where the steps so far leave the program, as far as the plan needs it.
struct Plan {
    std::uint32_t random;     // the generator's state
    int focus = IDC_PRICE;    // the control with the focus
    int websiteLaunches = 0;  // pages opened so far
    int helpLaunches = 0;
    bool helpPlaceKnown = false;  // read from the first pop-up of the Help menu
    std::string lastClick;        // a click's place, to keep two from making a double click
    int clickOffset = 0;
    std::string text;  // the text being made up
};

// Step 1 of every choice: a 31-bit linear congruential generator, so a seed
// gives the same steps on every machine; the high bits are the random ones.
int Roll(Plan& plan, int count) {
    plan.random = static_cast<std::uint32_t>((std::uint64_t{plan.random} * 1103515245u + 12345u) &
                                             0x7fffffffu);
    return static_cast<int>((plan.random >> 12) % static_cast<std::uint32_t>(count));
}

template <std::size_t N>
const char* Pick(Plan& plan, const char* const (&words)[N]) {
    return words[Roll(plan, static_cast<int>(N))];
}

void Step(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::printf("\n");
}

// The letter after "&" in a caption, as xdotool names the key.
char AccessKey(const char* caption) {
    const char* amp = std::strchr(caption, '&');
    return static_cast<char>(std::tolower(static_cast<unsigned char>(amp[1])));
}

char LowerKey(WPARAM key) {
    return static_cast<char>(std::tolower(static_cast<int>(key)));
}

char AltLetterOf(int button) {
    for (const AltButtonKey& key : kAltButtonKeys) {
        if (key.button == button) {
            return LowerKey(key.key);
        }
    }
    std::abort();
}

const FocusStop& StopAt(int id) {
    for (const FocusStop& stop : kFocusRing) {
        if (stop.id == id) {
            return stop;
        }
    }
    std::abort();
}

const char* ButtonPlace(int id) {
    for (const ControlPlace& place : kButtonPlaces) {
        if (place.id == id) {
            return place.name;
        }
    }
    std::abort();
}

bool IsField(int id) {
    return id >= IDC_PRICE && id <= IDC_SELL;
}

// A second click within a few pixels of the first and within the
// double-click time is a double click, which does not move the focus into
// an edit field: a click on the same place as the one before goes 10 pixels
// to the side.
void Click(Plan& plan, const char* place) {
    plan.clickOffset = plan.lastClick == place ? 10 - plan.clickOffset : 0;
    plan.lastClick = place;
    Step("click %s %d", place, plan.clickOffset);
}

void ExpectSelected(const Plan& plan) {
    Step("selected %d", plan.focus);
}

void Tab(Plan& plan) {
    plan.focus = StopAt(plan.focus).next;
    Step("key Tab");
    // Waiting here also keeps the next Shift (of a "$" or a capital) from
    // turning this Tab into Shift+Tab: the program reads Shift's state when
    // it handles the key, not when the key was pressed.
    ExpectSelected(plan);
}

// Held like a user holds it, until the focus has moved.
void ShiftTab(Plan& plan) {
    plan.focus = StopAt(plan.focus).previous;
    Step("keydown shift");
    Step("key Tab");
    ExpectSelected(plan);
    Step("keyup shift");
}

void AltField(Plan& plan, const AltFieldKey& key) {
    plan.focus = key.field;
    Step("key alt+%c", LowerKey(key.key));
    ExpectSelected(plan);
}

void AltToPrice(Plan& plan) {
    for (const AltFieldKey& key : kAltFieldKeys) {
        if (key.field == IDC_PRICE) {
            AltField(plan, key);
        }
    }
}

void RandomAltField(Plan& plan) {
    AltField(plan, kAltFieldKeys[Roll(plan, static_cast<int>(std::size(kAltFieldKeys)))]);
}

void ClickField(Plan& plan) {
    const ControlPlace& place = kFieldPlaces[Roll(plan, static_cast<int>(std::size(kFieldPlaces)))];
    plan.focus = place.id;
    Click(plan, place.name);
}

void EditKeys(Plan& plan) {
    static const char* const kKeys[] = {"BackSpace", "BackSpace", "Delete", "Home",
                                        "End",       "Left",      "Right"};
    const int count = Roll(plan, 4) + 1;
    std::string keys = "key";
    for (int i = 0; i < count; ++i) {
        keys += ' ';
        keys += Pick(plan, kKeys);
    }
    Step("%s", keys.c_str());
}

// --- Texts to type ----------------------------------------------------------

void AddDigits(Plan& plan, int most) {
    const int count = Roll(plan, most) + 1;
    for (int i = 0; i < count; ++i) {
        plan.text += static_cast<char>('0' + Roll(plan, 10));
    }
}

// A sign, one time in `outOf` each.
void AddSign(Plan& plan, int outOf) {
    const int r = Roll(plan, outOf);
    if (r < 2) {
        plan.text += r == 0 ? '-' : '+';
    }
}

// A figure: maybe "$", a sign, digits with or without a point, an exponent.
void AddNumber(Plan& plan) {
    static const char* const kExponents[] = {"e", "E", "d", "D"};
    if (Roll(plan, 5) == 0) {
        plan.text += '$';
    }
    AddSign(plan, 4);
    if (Roll(plan, 5) == 0) {
        plan.text += '.';
        AddDigits(plan, 4);
    } else {
        AddDigits(plan, 7);
        if (Roll(plan, 3) == 0) {
            plan.text += '.';
            AddDigits(plan, 3);
        }
    }
    if (Roll(plan, 3) == 0) {
        plan.text += Pick(plan, kExponents);
        AddSign(plan, 3);
        AddDigits(plan, 3);
    }
}

void AddJunk(Plan& plan) {
    static const char* const kJunk[] = {"abc", "x",  "inf", "nan", "NaN", "#",  ",", "%", "0x1f",
                                        "E",   "e-", "$$",  "..",  "--",  "+-", "Q", "z"};
    plan.text += Pick(plan, kJunk);
}

// A figure, a figure with letters after it, letters alone, a figure after
// blanks, or a long run of all of these.
void MakeText(Plan& plan) {
    plan.text.clear();
    const int r = Roll(plan, 10);
    if (r < 4) {
        AddNumber(plan);
    } else if (r < 6) {
        AddNumber(plan);
        AddJunk(plan);
    } else if (r < 7) {
        AddJunk(plan);
    } else if (r < 8) {
        plan.text += "  ";
        AddNumber(plan);
    } else {
        const std::size_t length = static_cast<std::size_t>(Roll(plan, 80) + 30);
        while (plan.text.size() < length) {
            if (Roll(plan, 3) == 0) {
                AddJunk(plan);
            } else {
                AddNumber(plan);
            }
        }
    }
    // A blank on a focused button presses it; only fields get blanks.
    if (!IsField(plan.focus)) {
        std::string kept;
        for (char c : plan.text) {
            if (c != ' ') {
                kept += c;
            }
        }
        plan.text = kept;
    }
}

void TypeText(Plan& plan) {
    // Half the time into a field chosen first, its old text selected and so
    // replaced: a field fills up otherwise, since it takes no more than it shows.
    if (Roll(plan, 2) == 0) {
        RandomAltField(plan);
    }
    MakeText(plan);
    if (!plan.text.empty()) {
        Step("type %s", plan.text.c_str());
    }
}

// --- Buttons, menus and the About box ---------------------------------------

// Space presses the focused button, reached with Shift+Tab from the price
// field: once for Quit, twice for Website, three times for Recalculate.
void SpaceOnButton(Plan& plan, int shiftTabs) {
    if (plan.focus != IDC_PRICE) {
        AltToPrice(plan);
    }
    for (int i = 0; i < shiftTabs; ++i) {
        ShiftTab(plan);
    }
    Step("key space");
}

// The ways to recalculate: each leaves the focus in the price field.
void Recalculate(Plan& plan) {
    const int r = Roll(plan, 10);
    if (r < 3) {
        Step("key Return");
    } else if (r < 5) {
        Step("key alt+%c", AltLetterOf(IDC_RECALCULATE));
    } else if (r < 7) {
        Click(plan, ButtonPlace(IDC_RECALCULATE));
    } else if (r < 8) {
        Step("key alt+%c", AccessKey(MENU_CLEAR_FIELDS));
    } else if (r < 9) {
        Click(plan, kClearPlace);
    } else {
        SpaceOnButton(plan, 3);
    }
    plan.focus = IDC_PRICE;
}

void OpenWebsite(Plan& plan) {
    const int r = Roll(plan, 5);
    if (r < 2) {
        Step("key alt+%c", AltLetterOf(IDC_WEBSITE));
    } else if (r < 4) {
        Click(plan, ButtonPlace(IDC_WEBSITE));
        plan.focus = IDC_WEBSITE;
    } else {
        SpaceOnButton(plan, 2);
    }
    ++plan.websiteLaunches;
}

// Opens the Help menu from the keyboard or with the mouse and leaves it
// open; the mouse only once the place of its entry is known.
void OpenHelpMenu(Plan& plan) {
    if (Roll(plan, 2) == 0 || !plan.helpPlaceKnown) {
        Step("key alt+%c", AccessKey(MENU_HELP));
    } else {
        Click(plan, kHelpPlace);
    }
    Step("popup");
    plan.helpPlaceKnown = true;
}

void OpenOnlineHelp(Plan& plan) {
    OpenHelpMenu(plan);
    if (Roll(plan, 2) == 0) {
        Step("key %c", AccessKey(MENU_ONLINE_HELP));
    } else {
        Click(plan, kFirstEntryPlace);
    }
    ++plan.helpLaunches;
}

// Opens the About box one way and closes it another; the texts and the
// focus must be as they were.
void VisitAboutBox(Plan& plan) {
    static const char* const kClosers[] = {"Return", "Escape", "ok"};
    OpenHelpMenu(plan);
    if (Roll(plan, 2) == 0) {
        Step("key %c", AccessKey(MENU_ABOUT));
    } else {
        Click(plan, kLastEntryPlace);
    }
    Step("about");
    const char* closer = Pick(plan, kClosers);
    if (std::strcmp(closer, "ok") == 0) {
        Click(plan, kAboutOkPlace);
    } else {
        Step("key %s", closer);
    }
    Step("no-about");
    Step("same %d", plan.focus);
}

// --- Batches -----------------------------------------------------------------

void RandomAction(Plan& plan) {
    const int r = Roll(plan, 100);
    if (r < 44) {
        TypeText(plan);
    } else if (r < 50) {
        EditKeys(plan);
    } else if (r < 61) {
        Tab(plan);
    } else if (r < 67) {
        ShiftTab(plan);
    } else if (r < 76) {
        RandomAltField(plan);
    } else if (r < 83) {
        ClickField(plan);
    } else if (r < 90) {
        Recalculate(plan);
    } else if (r < 95) {
        OpenWebsite(plan);
    } else {
        // Enter wherever the focus is, on a button too, recalculates.
        Step("key Return");
        plan.focus = IDC_PRICE;
    }
}

// Random actions, then a recalculation and a page launch: once the launch
// is recorded, the window has handled everything before it.
void Batch(Plan& plan) {
    const int actions = Roll(plan, 12) + 8;
    for (int i = 0; i < actions; ++i) {
        RandomAction(plan);
    }
    Recalculate(plan);
    if (Roll(plan, 3) == 0) {
        OpenOnlineHelp(plan);
    } else {
        OpenWebsite(plan);
    }
    Step("check %d %d %d", plan.websiteLaunches, plan.helpLaunches, plan.focus);
    if (Roll(plan, 4) == 0) {
        VisitAboutBox(plan);
    }
}

}  // namespace

int PrintPlan(HWND, int argc, char** argv) {
    if (argc < 3) {
        return 2;
    }
    Plan plan;
    plan.random = static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10) & 0x7fffffffu);
    const int batches = std::atoi(argv[2]);
    for (int batch = 1; batch <= batches; ++batch) {
        Step("batch %d", batch);
        Batch(plan);
    }
    Step("key Escape");
    Step("quit");
    return 0;
}
