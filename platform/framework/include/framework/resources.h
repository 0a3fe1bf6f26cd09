// Program resources kept as data: dialog templates, string tables and the
// other tables that a program's JSON files under resources/<program>/ hold.
// A program installs its set once at start-up; dialogs find their templates
// there by numeric id.
//
// Every JSON file is an object whose sections merge across files:
//   "dialogs": [ { "id": 130, "caption": "Test DES", "size": [217, 135],
//                  "font": ["System", 10], "styles": ["modalframe", "caption", "sysmenu"],
//                  "controls": [
//                    {"id": 1, "kind": "defpushbutton", "text": "OK", "rect": [160, 114, 50, 14]},
//                    {"kind": "ltext", "text": "Key", "rect": [7, 7, 14, 8]},
//                    {"id": 1001, "kind": "edit", "styles": ["border", "autohscroll"],
//                     "rect": [31, 7, 114, 14]} ] } ]
//   "strings": { "57344": "Tarvel2", ... }
//   any other section ("menus", "accelerators", "toolbars", "version", ...)
//   is kept as raw JSON text for the shell (see Sections()).
// A control without "id" is a label (-1). "rect" is left, top, width, height
// in dialog units.
#pragma once

#include <map>
#include <string>
#include <vector>

class QString;

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

class ResourceSet {
public:
    // Reads every *.json file in a resource folder such as ":/tarvel2" and
    // adds the framework's standard strings. Malformed data is a programming
    // error and aborts with the file name.
    static ResourceSet Load(const QString& folder);

    const DialogTemplate* FindDialog(int id) const;
    // The string with that id, or "" when there is none.
    std::string LoadString(int id) const;

    // The raw tables for the shell (menus, accelerators, toolbars, version),
    // keyed by section name; each holds the JSON text of that section.
    const std::map<std::string, std::string>& Sections() const { return m_sections; }

    // The resource folder the set was loaded from (":/tarvel2"); images such
    // as dialog icons live below it.
    const std::string& Folder() const { return m_folder; }

private:
    std::string m_folder;
    std::map<int, DialogTemplate> m_dialogs;
    std::map<int, std::string> m_strings;
    std::map<std::string, std::string> m_sections;
};

// The resources of the running program. AfxGetResources aborts when none
// were installed: every program and GUI test installs its set first.
void AfxSetResources(const ResourceSet* resources);
const ResourceSet& AfxGetResources();
