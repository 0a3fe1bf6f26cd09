// Page 4: three saves named from the file name, on page 1's first object.
#include "wizard_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class Rsa4Page : public WizardTest {
protected:
    void ReachPage4(bool testGetSet = false)
    {
        Open();
        GenerateWith("4", testGetSet);
        Next();
        Next();
        ASSERT_EQ(ActivePage(), 3);
    }
    // "<object> <method> <path>" of every save so far.
    Lines Saves() const
    {
        Lines saves;
        for (const FakeCall& call : fake.calls())
            if (call.method.rfind("Save", 0) == 0)
                saves.push_back(std::to_string(call.object) + " " + call.method + " " + call.arg("path"));
        return saves;
    }
    Lines SavesTo(int object, const std::string& base) const
    {
        const std::string o = std::to_string(object) + " ";
        return {o + "SaveWkyFile " + base + ".wky", o + "SaveRkyFile " + base + ".rky",
                o + "SaveAsyFile " + base + ".asy"};
    }
};

TEST_F(Rsa4Page, FileNameSavesThreeFilesNamedMyKeyAndShowsNothing)
{
    ReachPage4();
    EXPECT_EQ(Text(3, IDC_FILENAME), "MyKey");
    PressFileName();
    EXPECT_EQ(Saves(), SavesTo(1, "MyKey"));
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Text(3, IDC_FILENAME), "MyKey");
    EXPECT_EQ(ActivePage(), 3);

    // A second press saves again to the same three paths.
    PressFileName();
    const Lines twice = Saves();
    EXPECT_EQ(Lines(twice.begin() + 3, twice.end()), SavesTo(1, "MyKey"));
}

TEST_F(Rsa4Page, TheBaseNameEndsAtTheLastDotOfTheWholeName)
{
    struct Case {
        const char* fileName;
        const char* baseName;
    };
    const Case cases[] = {
        {"my.key.v2.wky", "my.key.v2"}, {"NoDot", "NoDot"}, {".asy", ""},
        {"keys.d/MyKey", "keys"},  // the directory part is searched too
        {"trailing.", "trailing"},
    };
    ReachPage4();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName);
        const std::size_t before = Saves().size();
        Type(3, IDC_FILENAME, c.fileName);
        PressFileName();
        const Lines saves = Saves();
        EXPECT_EQ(Lines(saves.begin() + static_cast<std::ptrdiff_t>(before), saves.end()), SavesTo(1, c.baseName));
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Rsa4Page, AnEmptyNameIsReportedAndSavesNothing)
{
    ReachPage4();
    Type(3, IDC_FILENAME, "");
    PressFileName();
    EXPECT_EQ(Messages(), Lines{"Empty file name"});
    EXPECT_TRUE(Saves().empty());
}

TEST_F(Rsa4Page, AfterACopyTheCopySavesItsKey)
{
    ReachPage4(true);
    PressFileName();
    EXPECT_EQ(Saves(), SavesTo(2, "MyKey"));
}

TEST_F(Rsa4Page, AFailedSaveNamesTheMissingFileAndTheOthersAreStillAttempted)
{
    ReachPage4();
    fake.failMethod("SaveWkyFile", E_OUTOFMEMORY, 1);
    fake.failMethod("SaveAsyFile", E_FAIL, 1);
    PressFileName();
    EXPECT_EQ(Saves(), SavesTo(1, "MyKey"));
    EXPECT_EQ(Messages(), (Lines{"SaveWkyFile failed: out of memory (0x8007000E): MyKey.wky was not written",
                                 "SaveAsyFile failed: unspecified failure (0x80004005): MyKey.asy was not written"}));
}

TEST_F(Rsa4Page, ANameTooLongForTheSystemIsReportedAndSavesNothing)
{
    ReachPage4();
    const std::string base(4092, 'k');  // 4096 bytes with ".wky"
    Type(3, IDC_FILENAME, (base + ".key").c_str());
    PressFileName();
    EXPECT_TRUE(Saves().empty());
    EXPECT_EQ(Messages(), (Lines{"File name too long: " + base + ".wky was not written",
                                 "File name too long: " + base + ".rky was not written",
                                 "File name too long: " + base + ".asy was not written"}));
}

}  // namespace
