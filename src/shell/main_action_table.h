#pragma once
// The main window's commands as data: name, caption, shortcut, hint, picture,
// check and what each needs before it can run. The pictures of the explorers'
// popup items live here too, so every picture index of the window is in one place.
#include <span>

enum class TActionCheck { None, Checked, Unchecked };

enum class TActionNeed {
    Nothing,
    Session // disabled while offline
};

struct TMainActionSpec {
    const char *Name;
    const char *Caption;
    const char *Shortcut; // portable key text ("Ctrl+P"), empty for none
    const char *Hint;
    int Image; // index into the window's pictures, -1 for none
    TActionCheck Check;
    TActionNeed Need;
};

// In the order the actions are made (and listed by the action list).
std::span<const TMainActionSpec> MainActionTable();
// The entry of an action, or null.
const TMainActionSpec *FindMainAction(const char *name);

// Pictures of the explorers' popup items.
namespace TPopupImage {
constexpr int GenerateDDL = 23;
constexpr int QueryData = 24;
} // namespace TPopupImage
