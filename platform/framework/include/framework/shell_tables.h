// The shell's resource tables, read from the sections of the running
// program's resources: menus, accelerators, toolbars and the version block.
//
//   "menus": { "128": [ { "text": "&File", "items": [
//                 { "text": "&New\tCtrl+N", "id": 57600 },
//                 { "separator": true },
//                 { "text": "Recent File", "id": 57616, "grayed": true } ] } ] }
//   "accelerators": { "128": [ { "key": "Ctrl+N", "id": 57600 } ] }
//          (keys in QKeySequence's portable text: "Shift+Del", "Alt+Backspace")
//   "toolbars": { "128": { "image": "images/toolbar128.png", "button": [16, 15],
//                          "items": [57600, 57601, 0, 57607] } }   (0: separator)
//   "version": { "fileVersion": "1.0.0.1", "productVersion": "1.0.0.1",
//                "block": "040904B0", "strings": { "ProductName": "...", ... } }
#pragma once

#include "framework/afx_types.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

struct MenuItemTemplate {
    std::string text;  // empty for a separator
    UINT id = 0;
    bool separator = false;
    bool grayed = false;
    std::vector<MenuItemTemplate> items;  // a popup's entries
};

struct AcceleratorTemplate {
    std::string key;
    UINT id = 0;
};

struct ToolBarTemplate {
    std::string image;  // relative to the resource folder
    int buttonWidth = 16;
    int buttonHeight = 15;
    std::vector<UINT> items;  // 0 is a separator
};

struct VersionBlock {
    std::string fileVersion;
    std::string productVersion;
    std::string block;
    std::map<std::string, std::string> strings;

    std::string String(const char* name) const;
};

std::optional<std::vector<MenuItemTemplate>> LoadMenuTemplate(UINT nID);
std::optional<std::vector<AcceleratorTemplate>> LoadAcceleratorTable(UINT nID);
std::optional<ToolBarTemplate> LoadToolBarTemplate(UINT nID);
std::optional<VersionBlock> LoadVersionBlock();

// "prompt\ntooltip" of a command's string, split.
struct CommandStrings {
    std::string prompt;
    std::string tooltip;
};
CommandStrings LoadCommandStrings(UINT nID);
