// The shell's resource tables of the running program (menus, accelerators,
// toolbars, the version block and command strings), as read once by
// ResourceSet::Load; see resources.h for their layout.
#pragma once

#include "framework/afx_types.h"
#include "framework/resource_templates.h"

#include <string>
#include <vector>

// Each is nullptr when the program has no such table.
const std::vector<MenuItemTemplate>* LoadMenuTemplate(UINT nID);
const std::vector<AcceleratorTemplate>* LoadAcceleratorTable(UINT nID);
const ToolBarTemplate* LoadToolBarTemplate(UINT nID);
const VersionBlock* LoadVersionBlock();

// "prompt\ntooltip" of a command's string, split.
struct CommandStrings {
    std::string prompt;
    std::string tooltip;
};
CommandStrings LoadCommandStrings(UINT nID);
