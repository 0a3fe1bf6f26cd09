#include "framework/resources.h"

#include <QString>

#include <gtest/gtest.h>

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

TEST(ResourceSet, KeepsOtherSectionsAsJsonMergedAcrossFiles)
{
    const auto& sections = AfxGetResources().Sections();

    ASSERT_TRUE(sections.count("menus"));
    const std::string& menus = sections.at("menus");
    EXPECT_NE(menus.find("128"), std::string::npos);
    EXPECT_NE(menus.find("129"), std::string::npos);
    ASSERT_TRUE(sections.count("version"));
    EXPECT_EQ(sections.at("version"), R"({"FileVersion":"1.0"})");
    EXPECT_FALSE(sections.count("dialogs"));
    EXPECT_FALSE(sections.count("strings"));
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

TEST(ResourceSetDeathTest, MalformedDataAbortsNamingTheFile)
{
    EXPECT_DEATH(ResourceSet::Load(":/frameworktest_broken"), "unfinished\\.json");
}
