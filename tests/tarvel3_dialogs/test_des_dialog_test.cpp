#include "des_hash_tests/test_des.h"
#include "des_hash_tests/test_dialog_resource_ids.h"
#include "hex_text.h"
#include "lcg_reference.h"
#include "tarvel3_dialog_test.h"

#include <string>
#include <vector>

using namespace tarvel3_ids;

namespace {

constexpr std::uint32_t kPinnedTicks = 0x12345678;

class DesDialog : public Tarvel3DialogTest {
protected:
    DesDialog() : Tarvel3DialogTest(kPinnedTicks) {}
    void TearDown() override
    {
        if (dialog.GetSafeHwnd())
            dialog.DestroyWindow();
        Tarvel3DialogTest::TearDown();
    }

    std::string Text(int id) const { return dialog.GetDlgItemText(id).str(); }
    // Methods called on the DES object after its creation.
    std::vector<std::string> DesCalls() const
    {
        std::vector<std::string> names;
        for (const FakeCall& call : fake.callsOf(1))
            if (call.method != "QueryInterface" && call.method != "AddRef")
                names.push_back(call.method);
        return names;
    }

    CTestDES dialog{nullptr};
};

std::uint32_t DrawWord(LcgReference& lcg)
{
    const auto low = static_cast<std::uint32_t>(lcg.Next());
    return low | static_cast<std::uint32_t>(lcg.Next()) << 16;
}

TEST_F(DesDialog, TestRunsSetKeyEncryptDecryptOnTheDrawnKeyAndBlockAndShowsAllFour)
{
    ASSERT_TRUE(dialog.Create());
    ASSERT_TRUE(dialog.OnCommand(IDC_TEST));

    // The seed is the tick count at creation; the key takes the first four
    // values, low half of each word first, then the block the next four.
    LcgReference lcg(kPinnedTicks);
    const std::uint32_t key0 = DrawWord(lcg), key1 = DrawWord(lcg);
    const std::uint32_t data0 = DrawWord(lcg), data1 = DrawWord(lcg);

    EXPECT_EQ(DesCalls(), (std::vector<std::string>{"SetKey", "Encrypt", "Decrypt"}));
    EXPECT_EQ(CallOf("SetKey").arg("key"), FakeWords({key0, key1}));
    EXPECT_EQ(CallOf("Encrypt").arg("block"), FakeWords({data0, data1}));
    EXPECT_EQ(CallOf("Decrypt").arg("block"), CallOf("Encrypt").out("block"));

    // Word 1 before word 0, each most significant digit first.
    char expected[18];
    std::snprintf(expected, sizeof expected, "%08x%08x ", key1, key0);
    EXPECT_EQ(Text(IDC_KEY), expected);
    std::snprintf(expected, sizeof expected, "%08x%08x ", data1, data0);
    EXPECT_EQ(Text(IDC_DATA), expected);
    const auto encrypted = FakeComponent::ParseWords(CallOf("Encrypt").out("block"));
    ASSERT_EQ(encrypted.size(), 2u);
    std::snprintf(expected, sizeof expected, "%08x%08x ", encrypted[1], encrypted[0]);
    EXPECT_EQ(Text(IDC_ENCODE), expected);
    EXPECT_EQ(Text(IDC_DECODE), Text(IDC_DATA));  // the fake's Decrypt undoes Encrypt
    EXPECT_TRUE(PromptSeam::TakeMessages().empty());
}

TEST_F(DesDialog, EveryTextIs16DigitsAndABlankWithBits31And15OfKeyAndDataClear)
{
    ASSERT_TRUE(dialog.Create());
    for (int press = 0; press < 20; ++press) {
        dialog.OnCommand(IDC_TEST);
        for (int id : {IDC_KEY, IDC_DATA, IDC_ENCODE, IDC_DECODE}) {
            const std::string text = Text(id);
            ASSERT_EQ(text.size(), 17u) << id << ": '" << text << "'";
            EXPECT_EQ(text.back(), ' ');
            EXPECT_EQ(text.find_first_not_of("0123456789abcdef"), 16u) << text;
        }
        for (int id : {IDC_KEY, IDC_DATA}) {
            const std::string text = Text(id);
            for (int digit : {0, 4, 8, 12})
                EXPECT_LE(text[digit], '7') << id << ": " << text;
        }
    }
}

TEST_F(DesDialog, SameTickGivesTheSameFirstDataAndASecondTestDrawsTheNextValues)
{
    ASSERT_TRUE(dialog.Create());
    dialog.OnCommand(IDC_TEST);
    const std::string firstKey = Text(IDC_KEY), firstData = Text(IDC_DATA);
    dialog.OnCommand(IDC_TEST);
    const std::string secondKey = Text(IDC_KEY);
    EXPECT_NE(secondKey, firstKey);

    LcgReference lcg(kPinnedTicks);
    lcg.Skip(8);
    const std::uint32_t key0 = DrawWord(lcg), key1 = DrawWord(lcg);
    char expected[18];
    std::snprintf(expected, sizeof expected, "%08x%08x ", key1, key0);
    EXPECT_EQ(secondKey, expected);

    // A second opening within the same tick starts over from the same seed.
    CTestDES another(nullptr);
    ASSERT_TRUE(another.Create());
    another.OnCommand(IDC_TEST);
    EXPECT_EQ(another.GetDlgItemText(IDC_KEY).str(), firstKey);
    EXPECT_EQ(another.GetDlgItemText(IDC_DATA).str(), firstData);
    another.DestroyWindow();
}

TEST_F(DesDialog, TypedTextIsReplacedWithoutBeingRead)
{
    ASSERT_TRUE(dialog.Create());
    dialog.SetDlgItemText(IDC_KEY, "typed key");
    dialog.SetDlgItemText(IDC_DATA, "0000000000000000 ");
    dialog.OnCommand(IDC_TEST);
    EXPECT_NE(Text(IDC_KEY), "typed key");
    EXPECT_NE(Text(IDC_DATA), "0000000000000000 ");
    EXPECT_EQ(Text(IDC_DATA).size(), 17u);
}

struct DesCallFailure {
    const char* method;
    bool encodeShown;
};

TEST_F(DesDialog, AFailingCallIsReportedAndNothingFromItOnIsShownAsAResult)
{
    const DesCallFailure failures[] = {{"SetKey", false}, {"Encrypt", false}, {"Decrypt", true}};
    for (const DesCallFailure& failure : failures) {
        SCOPED_TRACE(failure.method);
        dialog.DestroyWindow();
        fake.reset();
        ASSERT_TRUE(dialog.Create());
        dialog.OnCommand(IDC_TEST);  // a good run first: its results must go
        ASSERT_FALSE(Text(IDC_DECODE).empty());
        fake.failMethod(failure.method, E_FAIL);
        dialog.OnCommand(IDC_TEST);

        EXPECT_EQ(PromptSeam::TakeMessages(), std::vector<std::string>{std::string("IUserDES::") + failure.method +
                                                                       " failed: unspecified failure (0x80004005)"});
        EXPECT_EQ(Text(IDC_KEY).size(), 17u);
        EXPECT_EQ(Text(IDC_DATA).size(), 17u);
        EXPECT_EQ(Text(IDC_ENCODE).empty(), !failure.encodeShown) << Text(IDC_ENCODE);
        EXPECT_EQ(Text(IDC_DECODE), "");
    }
}

TEST_F(DesDialog, WithoutAnObjectTestSaysSoCallsNothingAndTheGeneratorIsNotSeeded)
{
    fake.failCreation(CLSID_UserDES);
    crt::srand(77);
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(PromptSeam::TakeMessages(), std::vector<std::string>{"IUserDES failed"});
    EXPECT_EQ(crt::rand(), LcgReference(77).Next());

    dialog.OnCommand(IDC_TEST);
    const auto messages = PromptSeam::TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("The IUserDES object could not be created", 0), 0u) << messages[0];
    for (int id : {IDC_KEY, IDC_DATA, IDC_ENCODE, IDC_DECODE})
        EXPECT_EQ(Text(id), "");
    EXPECT_EQ(fake.createdObjects(), 0);
}

}  // namespace
