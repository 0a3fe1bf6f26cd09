// The typed form of a program's resources, as ResourceSet::Load reads them
// from the JSON files (see resources.h for the layout of each section).
#pragma once

#include "framework/afx_types.h"

#include <map>
#include <string>
#include <vector>

// One control of a dialog template. Positions are in dialog units.
struct ControlTemplate {
    int id = -1;  // -1: a label nobody refers to
    // "defpushbutton", "pushbutton", "ltext" (static text), "edit",
    // "autocheckbox", "icon" (text holds the icon id)
    std::string kind;
    std::string text;
    // Window styles by name: "multiline", "readonly", "vscroll",
    // "autohscroll", "border", "noprefix"
    std::vector<std::string> styles;
    int x = 0, y = 0, cx = 0, cy = 0;

    bool HasStyle(const char* style) const;
};

struct DialogTemplate {
    int id = 0;
    std::string caption;
    int cx = 0, cy = 0;  // dialog units
    std::string fontName;
    int pointSize = 8;
    std::vector<std::string> styles;  // "popup", "child", "modalframe", "caption", "sysmenu"
    std::vector<ControlTemplate> controls;

    const ControlTemplate* FindControl(int controlId) const;
};

// A menu entry: a command (text and id), a separator, or a popup (text and
// items).
struct MenuItemTemplate {
    std::string text;  // empty for a separator
    UINT id = 0;
    bool separator = false;
    bool grayed = false;
    std::vector<MenuItemTemplate> items;  // a popup's entries
};

struct AcceleratorTemplate {
    std::string key;  // QKeySequence's portable text: "Ctrl+N", "Shift+Del"
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

// Everything a program's resource files hold, merged across the files.
struct ResourceTables {
    std::map<int, DialogTemplate> dialogs;
    std::map<int, std::string> strings;
    std::map<UINT, std::vector<MenuItemTemplate>> menus;  // a menu bar's popups
    std::map<UINT, std::vector<AcceleratorTemplate>> accelerators;
    std::map<UINT, ToolBarTemplate> toolbars;
    std::vector<VersionBlock> version;  // none or one
};
