#include "framework/resources.h"

#include <QString>

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

TEST(ResourceSet, MergesTheProgramFilesWithTheFrameworkStrings)
{
    const ResourceSet& resources = AfxGetResources();

    ASSERT_NE(resources.FindDialog(200), nullptr);
    ASSERT_NE(resources.FindDialog(302), nullptr);  // from another file
    EXPECT_EQ(resources.FindDialog(999), nullptr);

    EXPECT_EQ(resources.LoadString(57344), "Framework Tests");
    EXPECT_EQ(resources.LoadString(61446), "Extra");
    EXPECT_EQ(resources.LoadString(59137), "CAP");
    EXPECT_EQ(resources.LoadString(57600), "Create a new document\nNew");
    EXPECT_EQ(resources.LoadString(57617), "Open this document");
    // A program's own text wins over the framework's.
    EXPECT_EQ(resources.LoadString(57616), "Open this file instead");
    EXPECT_EQ(resources.LoadString(12345), "");
}

TEST(ResourceSet, ReadsTheShellTablesMergingMenusAcrossFiles)
{
    const ResourceSet& resources = AfxGetResources();

    // more.json comes before pages.json: its popup comes first.
    const std::vector<MenuItemTemplate>* menu = resources.FindMenu(128);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->size(), 2u);
    EXPECT_EQ((*menu)[0].text, "&Edit");
    EXPECT_EQ((*menu)[0].items.at(0).id, 57634u);
    EXPECT_EQ((*menu)[1].text, "&File");
    EXPECT_TRUE((*menu)[1].items.at(1).separator);
    EXPECT_EQ(resources.FindMenu(129), nullptr);
    EXPECT_EQ(resources.FindToolBar(128), nullptr);
    ASSERT_NE(resources.Version(), nullptr);
    EXPECT_EQ(resources.Version()->productVersion, "1.0.0.2");
    EXPECT_EQ(resources.Version()->String("ProductName"), "Tests");
}

TEST(ResourceSet, ReadsTemplatesFieldByField)
{
    const DialogTemplate* dialog = AfxGetResources().FindDialog(200);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->caption, "Exchange");
    EXPECT_EQ(dialog->cx, 200);
    EXPECT_EQ(dialog->cy, 120);
    EXPECT_EQ(dialog->fontName, "System");
    EXPECT_EQ(dialog->pointSize, 10);

    const ControlTemplate* notes = dialog->FindControl(1030);
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->kind, "edit");
    EXPECT_TRUE(notes->HasStyle("multiline"));
    EXPECT_FALSE(notes->HasStyle("autohscroll"));
    EXPECT_EQ(notes->x, 10);
    EXPECT_EQ(notes->cy, 24);
    EXPECT_EQ(dialog->controls[3].id, -1);  // a label without an id
}

namespace {

// text as a regular expression that matches just that text.
std::string Literally(const std::string& text)
{
    std::string pattern;
    for (char c : text) {
        if (std::string_view(".[]{}()\\*+?^$|").find(c) != std::string_view::npos)
            pattern += '\\';
        pattern += c;
    }
    return pattern;
}

}  // namespace

// Every malformed entry is refused with the file, the section, the entry
// and what was expected there.
TEST(ResourceSetDeathTest, RefusesEachMalformedEntrySayingWhereAndWhatWasExpected)
{
    const struct {
        const char* json;
        const char* message;
    } cases[] = {
        {R"({"menus": {"128": [{"text": "&File", "items": [{"text": "&Save", "id": "57603"}]}]}})",
         R"(menus, 128, popup 1, "&File", item 1: "id" must be a whole number from 0 to 65535, )"
         R"(not the string "57603")"},
        {R"({"menus": {"128": [{"text": "&File", "items": [{"text": "&Save", "id": 57603, "grey": true}]}]}})",
         R"(item 1: unknown key "grey" (known: text, id, grayed))"},
        {R"({"menus": {"128": [{"text": "&Save", "id": 57603}]}})",
         R"(menus, 128, popup 1: an entry of the menu bar must be a popup with "text" and "items")"},
        {R"({"toolbars": {"128": {"image": "bar.png", "button": [16], "items": []}}})",
         R"(toolbars, 128: "button" must be an array of 2 whole numbers, not an array of 1)"},
        {R"({"toolbars": {"128": {"image": "bar.png", "items": ["57600"]}}})",
         R"(toolbars, 128: "items" must be a whole number from 0 to 65535, not the string "57600")"},
        {R"({"accelerators": {"128": [{"key": "Ctrl+Nope", "id": 57600}]}})",
         R"(accelerators, 128, entry 1: "key" must be one key in Qt's portable text ("Ctrl+N"), )"
         R"(not the string "Ctrl+Nope")"},
        {R"({"dialogs": [{"id": 130, "size": [9,9], "controls": [{"id": "1002", "kind":"edit", "rect": [1,2,3,4]}]}]})",
         R"(dialogs, dialog 130, control 1: "id" must be a whole number from 0 to 65535, not the string "1002")"},
        {R"({"dialogs": [{"id": 130, "size": [9, 9], "controls": [{"kind": "button", "rect": [1,2,3,4]}]}]})",
         R"(control 1: "kind" must be one of defpushbutton, pushbutton, ltext, edit, autocheckbox, icon, )"
         R"(not the string "button")"},
        {R"({"dialogs": [{"id": 130, "size": [10]}]})",
         R"(dialogs, dialog 130: "size" must be an array of 2 whole numbers, not an array of 1)"},
        {R"({"dialogs": [{"id": 130, "size": [9, 9]}, {"id": 130, "size": [9, 9]}]})",
         R"(dialogs, dialog 130: defined twice)"},
        {R"({"strings": {"7": 7}})", R"(strings, 7: a string's text must be a string, not the number 7)"},
        {R"({"menu": {}})", R"(menu: not a section (known: dialogs, strings, menus, accelerators, toolbars, version))"},
        {R"({"dialogs": [)", R"(at offset)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        const TempFolder folder;
        folder.Write("broken.json", c.json);
        const QString path = QString::fromStdString(folder.Path().string());
        EXPECT_DEATH(ResourceSet::Load(path), "broken\\.json: .*" + Literally(c.message));
    }
}
