// Page 1: defaults, key generation, the get-set copy and its slot exchange,
// object ownership and every failure the page must report.
#include "wizard_fixture.h"

#include <tarvel/ids.h>

namespace {

using Lines = std::vector<std::string>;

constexpr const char* kGenerationTime = "Key Generation Time 0 milliseconds";  // ticks are pinned

// The get-set copy from source into target, as the fake records it.
Lines CopyCalls(int source, int target)
{
    const std::string s = std::to_string(source) + " ", t = std::to_string(target) + " ";
    Lines lines = {t + "Clear"};
    for (const char* number :
         {"Base", "PublicKey", "PrivateKey", "KeyPart4", "KeyPart5", "KeyPart6", "KeyPart7", "KeyPart8"}) {
        lines.push_back(s + "Get" + number);
        lines.push_back(s + "Get" + number);
        lines.push_back(t + "Set" + number);
    }
    lines.push_back(t + "SetCode");
    lines.push_back(t + "SetUserId");
    return lines;
}

Lines Joined(std::initializer_list<Lines> parts)
{
    Lines all;
    for (const Lines& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Lines DisplayCalls(int object)
{
    const std::string o = std::to_string(object) + " ";
    return {o + "GetBase",      o + "GetBase",       o + "GetPublicKey",
            o + "GetPublicKey", o + "GetPrivateKey", o + "GetPrivateKey"};
}

using Rsa1Page = WizardTest;

TEST_F(Rsa1Page, OpensWithTheDefaultsAndTwoFreshObjects)
{
    Open();
    EXPECT_EQ(Text(0, IDC_USERID), "Testing");
    EXPECT_EQ(Text(0, IDC_KEYLENGTH), "16");
    auto* box = qobject_cast<QCheckBox*>(Page(0).GetDlgItem(IDC_TESTGETSET));
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(fake.createdObjects(), 2);
    EXPECT_EQ(fake.interfaceOf(1), "IUserRSA");
    EXPECT_EQ(fake.interfaceOf(2), "IUserRSA");
    EXPECT_TRUE(Calls().empty());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Rsa1Page, NextGeneratesOnceOnTheFirstObjectAndNeverTouchesTheSecond)
{
    Open();
    Next();
    ASSERT_EQ(ActivePage(), 1);
    const auto generations = CallsNamed("GenerateKey");
    ASSERT_EQ(generations.size(), 1u);
    EXPECT_EQ(generations[0].object, 1);
    EXPECT_EQ(generations[0].arg("userId"), "Testing");
    EXPECT_EQ(generations[0].arg("keyWords"), "16");
    EXPECT_EQ(Text(1, IDC_GENTIME), kGenerationTime);

    // What the user typed goes to the component; the box stays clear.
    Back();
    Type(0, IDC_USERID, "Alice");
    GenerateWith(" 4 ");
    ASSERT_EQ(ActivePage(), 1);
    EXPECT_EQ(CallsNamed("GenerateKey").back().arg("userId"), "Alice");
    EXPECT_EQ(CallsNamed("GenerateKey").back().arg("keyWords"), "4");
    EXPECT_TRUE(Calls(2).empty()) << testing::PrintToString(Calls());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Rsa1Page, GetSetCopiesEveryNumberIntoTheSecondObjectAndSwapsTheSlots)
{
    Open();
    GenerateWith("16", true);
    ASSERT_EQ(ActivePage(), 1);
    // Page 2 already reads the object that received the copy.
    EXPECT_EQ(Calls(), Joined({{"1 GenerateKey"}, CopyCalls(1, 2), DisplayCalls(2)}));

    const char* setters[] = {"SetBase",     "SetPublicKey", "SetPrivateKey", "SetKeyPart4",
                             "SetKeyPart5", "SetKeyPart6",  "SetKeyPart7",   "SetKeyPart8"};
    for (int part = 1; part <= 8; ++part) {
        SCOPED_TRACE(setters[part - 1]);
        const auto set = CallsNamed(setters[part - 1]);
        ASSERT_EQ(set.size(), 1u);
        const auto expected = FakeComponent::KeyNumber(part, 16);
        EXPECT_EQ(set[0].arg("count"), std::to_string(expected.size()));
        EXPECT_EQ(FakeComponent::ParseWords(set[0].arg("words")), expected);
    }
    EXPECT_EQ(CallsNamed("SetCode")[0].arg("text"), "60418");
    EXPECT_EQ(CallsNamed("SetCode")[0].arg("length"), "5");
    EXPECT_EQ(CallsNamed("SetUserId")[0].arg("text"), "Second");
    EXPECT_EQ(CallsNamed("SetUserId")[0].arg("length"), "6");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Rsa1Page, NextBackNextGeneratesOnTheCopyAndSwapsTheFirstObjectBack)
{
    Open();
    GenerateWith("16", true);
    Back();
    ASSERT_EQ(ActivePage(), 0);
    const std::size_t firstRound = Calls().size();
    Next();
    ASSERT_EQ(ActivePage(), 1);
    Lines calls = Calls();
    EXPECT_EQ(Lines(calls.begin() + static_cast<std::ptrdiff_t>(firstRound), calls.end()),
              Joined({{"2 GenerateKey"}, CopyCalls(2, 1), DisplayCalls(1)}));

    // And the third round is back where the first began.
    Back();
    const std::size_t secondRound = Calls().size();
    Next();
    calls = Calls();
    EXPECT_EQ(Lines(calls.begin() + static_cast<std::ptrdiff_t>(secondRound), calls.end()),
              Joined({{"1 GenerateKey"}, CopyCalls(1, 2), DisplayCalls(2)}));
}

TEST_F(Rsa1Page, AKeyLengthThatDoesNotParseIsReportedOnceAndGeneratesNothing)
{
    Open();
    for (const char* text : {"abc", "", "-1", "4294967296"}) {
        SCOPED_TRACE(text);
        GenerateWith(text, true);
        EXPECT_EQ(ActivePage(), 0);
        EXPECT_EQ(Messages(), Lines{"Please enter a positive integer."});
    }
    EXPECT_TRUE(Calls().empty()) << testing::PrintToString(Calls());

    // Once the length parses, Next works as usual.
    GenerateWith("2");
    EXPECT_EQ(ActivePage(), 1);
    EXPECT_EQ(CallsNamed("GenerateKey").size(), 1u);
}

TEST_F(Rsa1Page, AGenerationTheComponentRefusesIsReportedAndThePageStays)
{
    Open();
    GenerateWith("0", true);  // the fake refuses 0 words with E_INVALIDARG
    EXPECT_EQ(ActivePage(), 0);
    EXPECT_EQ(Messages(), Lines{"GenerateKey failed: invalid argument (0x80070057)"});
    // No copy of a key that was not made.
    EXPECT_EQ(Calls(), Lines{"1 GenerateKey"});

    fake.failMethod("GenerateKey", E_OUTOFMEMORY, 1);
    GenerateWith("8");
    EXPECT_EQ(ActivePage(), 0);
    EXPECT_EQ(Messages(), Lines{"GenerateKey failed: out of memory (0x8007000E)"});

    GenerateWith("8");
    EXPECT_EQ(ActivePage(), 1);
    EXPECT_EQ(Text(1, IDC_GENTIME), kGenerationTime);
}

TEST_F(Rsa1Page, ACopyThatBreaksOffIsReportedAndNotSwappedIn)
{
    struct Case {
        const char* failing;
        int object;
        const char* message;
    };
    const Case cases[] = {
        {"Clear", 2, "Clear failed: unspecified failure (0x80004005)"},
        {"GetKeyPart6", 1, "GetKeyPart6 failed: unspecified failure (0x80004005)"},
        {"SetPrivateKey", 2, "SetPrivateKey failed: unspecified failure (0x80004005)"},
        {"SetUserId", 2, "SetUserId failed: unspecified failure (0x80004005)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        fake.reset();
        Open();
        fake.failMethod(c.failing, E_FAIL, 0, c.object);
        GenerateWith("16", true);
        EXPECT_EQ(Messages(), Lines{c.message});
        // The generated key is still shown: page 2 reads the first object.
        ASSERT_EQ(ActivePage(), 1);
        const Lines calls = Calls();
        EXPECT_EQ(Lines(calls.end() - 6, calls.end()), DisplayCalls(1));
        EXPECT_EQ(Text(1, IDC_BASE), ExpectedHex(FakeComponent::KeyNumber(1, 16)));
    }
}

TEST_F(Rsa1Page, ACopiedCountBeyondTheLimitIsReportedAndNothingIsAllocatedForIt)
{
    Open();
    fake.setReportedCount("GetKeyPart5", (1u << 20) + 1);
    GenerateWith("16", true);
    EXPECT_EQ(Messages(), Lines{"GetKeyPart5 reported 1048577 words, more than the 1048576 it may give"});
    EXPECT_TRUE(CallsNamed("SetKeyPart5").empty());
    ASSERT_EQ(ActivePage(), 1);
    EXPECT_EQ(CallsNamed("GetBase").back().object, 1);
}

TEST_F(Rsa1Page, WithoutAFirstObjectNextSaysSoAndCallsNothing)
{
    fake.failCreation(CLSID_UserRSA, 1);
    Open();
    EXPECT_EQ(Messages(), Lines{"IUserRSA failed"});
    EXPECT_EQ(fake.createdObjects(), 0);  // the second is not attempted
    EXPECT_EQ(Text(0, IDC_USERID), "Testing");

    GenerateWith("16", true);
    EXPECT_EQ(ActivePage(), 0);
    // The binding's reason comes with it, as the DES and hash tests give it.
    EXPECT_EQ(Messages(), Lines{"No RSA object could be created\n" + FakeComponent::LibraryPath() +
                                ": object or interface refused by the component (0x80004005)"});
    Cancel();
    EXPECT_TRUE(Calls().empty());
}

TEST_F(Rsa1Page, WithoutASecondObjectTheCopyIsSkippedAndTheSlotsStay)
{
    fake.failCreation(CLSID_UserRSA, 2);
    Open();
    EXPECT_EQ(Messages(), Lines{"Second IUserRSA failed"});
    EXPECT_EQ(fake.createdObjects(), 1);

    GenerateWith("16", true);
    ASSERT_EQ(ActivePage(), 1);
    EXPECT_EQ(Calls(), Joined({{"1 GenerateKey"}, DisplayCalls(1)}));
    Back();
    Next();
    EXPECT_EQ(CallsNamed("GenerateKey").back().object, 1);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Rsa1Page, CancelOnAnyPageReleasesBothObjectsExactlyOnce)
{
    for (int page = 0; page < 4; ++page) {
        for (bool testGetSet : {false, true}) {
            SCOPED_TRACE("page " + std::to_string(page + 1) + (testGetSet ? " after a copy" : ""));
            fake.reset();
            Open();
            SetTestGetSet(testGetSet);
            for (int step = 0; step < page; ++step)
                Next();
            ASSERT_EQ(ActivePage(), page);
            Cancel();
            Sheet().DestroyWindow();  // as the modal run does once Cancel ends it
            EXPECT_EQ(fake.releasesOf(1), 1);
            EXPECT_EQ(fake.releasesOf(2), 1);
            EXPECT_EQ(fake.liveObjects(), 0);
            // Ending the wizard afterwards releases nothing more.
            wizard.reset();
            EXPECT_EQ(fake.releasesOf(1), 1);
            EXPECT_EQ(fake.releasesOf(2), 1);
            EXPECT_EQ(fake.callsAfterRelease(), 0);
        }
    }
}

}  // namespace
