// Program resources kept as data: dialog templates, string tables, menus,
// accelerators, toolbars and the version block that a program's JSON files
// under resources/<program>/ hold. A program installs its set once at
// start-up; windows find their tables there by numeric id.
//
// Every JSON file is an object of sections; the files are read in the order
// of their paths and their sections merge:
//   "dialogs": [ { "id": 130, "caption": "Test DES", "size": [217, 135],
//                  "font": ["System", 10], "styles": ["modalframe", "caption", "sysmenu"],
//                  "controls": [
//                    {"id": 1, "kind": "defpushbutton", "text": "OK", "rect": [160, 114, 50, 14]},
//                    {"kind": "ltext", "text": "Key", "rect": [7, 7, 14, 8]},
//                    {"id": 1001, "kind": "edit", "styles": ["border", "autohscroll"],
//                     "rect": [31, 7, 114, 14]} ] } ]
//   "strings": { "57344": "Tarvel2", ... }        (a later file's text wins)
//   "menus": { "128": [ { "text": "&File", "items": [
//                 { "text": "&New\tCtrl+N", "id": 57600 },
//                 { "separator": true },
//                 { "text": "Recent File", "id": 57616, "grayed": true } ] } ] }
//                                                 (a later file's popups follow)
//   "accelerators": { "128": [ { "key": "Ctrl+N", "id": 57600 } ] }
//          (keys in QKeySequence's portable text: "Shift+Del", "Alt+Backspace")
//   "toolbars": { "128": { "image": "images/toolbar128.png", "button": [16, 15],
//                          "items": [57600, 57601, 0, 57607] } }   (0: separator)
//   "version": { "fileVersion": "1.0.0.1", "productVersion": "1.0.0.1",
//                "block": "040904B0", "strings": { "ProductName": "...", ... } }
// A control without "id" is a label (-1). "rect" is left, top, width, height
// in dialog units. Ids are whole numbers from 0 to 65535.
#pragma once

#include "framework/resource_templates.h"

#include <string>

class QString;

class ResourceSet {
public:
    // Reads every *.json file in a resource folder such as ":/tarvel2" and
    // adds the framework's standard strings. Malformed data is a programming
    // error and aborts, naming the file, the section, the entry and what was
    // expected.
    static ResourceSet Load(const QString& folder);

    const DialogTemplate* FindDialog(int id) const;
    // The string with that id, or "" when there is none.
    std::string LoadString(int id) const;

    // The shell's tables with that id, or nullptr when there is none.
    const std::vector<MenuItemTemplate>* FindMenu(UINT id) const;
    const std::vector<AcceleratorTemplate>* FindAccelerators(UINT id) const;
    const ToolBarTemplate* FindToolBar(UINT id) const;
    // The version block, or nullptr when the program has none.
    const VersionBlock* Version() const;

    // The resource folder the set was loaded from (":/tarvel2"); images such
    // as dialog icons live below it.
    const std::string& Folder() const { return m_folder; }

private:
    std::string m_folder;
    ResourceTables m_tables;
};

// The resources of the running program. AfxGetResources aborts when none
// were installed: every program and GUI test installs its set first.
void AfxSetResources(const ResourceSet* resources);
const ResourceSet& AfxGetResources();
