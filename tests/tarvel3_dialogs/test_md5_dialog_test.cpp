#include "des_hash_tests/test_md5.h"
#include "des_hash_tests/test_dialog_resource_ids.h"
#include "hex_text.h"
#include "lcg_reference.h"
#include "tarvel3_dialog_test.h"

#include <string>
#include <vector>

using namespace tarvel3_ids;

namespace {

constexpr std::uint32_t kPinnedTicks = 4242;

class Md5Dialog : public Tarvel3DialogTest {
protected:
    Md5Dialog() : Tarvel3DialogTest(kPinnedTicks) {}
};

// Opens an MD5 dialog for the life of the object, as the view would construct
// and open it.
class OpenMd5 {
public:
    OpenMd5() { EXPECT_TRUE(m_dialog.Create()); }
    ~OpenMd5() { m_dialog.DestroyWindow(); }
    void Test() { m_dialog.OnCommand(IDC_TEST); }
    std::string Text(int id) const { return m_dialog.GetDlgItemText(id).str(); }
    CTestMD5& Dialog() { return m_dialog; }

private:
    CTestMD5 m_dialog{nullptr};
};

std::vector<std::uint8_t> DrawBytes(LcgReference& lcg, int count)
{
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<std::uint8_t>(lcg.Next() & 0xFF));
    return bytes;
}

TEST_F(Md5Dialog, DataIsShownLastDrawnFirstAndHashedInDrawingOrder)
{
    OpenMd5 dialog;
    dialog.Test();

    // Seeded when the dialog object was made: the 40 bytes are the first 40
    // values, byte 0 first.
    LcgReference lcg(kPinnedTicks);
    const std::vector<std::uint8_t> drawn = DrawBytes(lcg, 40);

    const FakeCall hash = CallOf("HashData");
    EXPECT_EQ(hash.arg("bytes"), "40");
    EXPECT_EQ(hash.arg("data"), HexOf(drawn));

    const std::string data = dialog.Text(IDC_DATA);
    EXPECT_EQ(data.size(), 85u);
    EXPECT_EQ(DigitsOf(data), ReversedBytes(HexOf(drawn)));
    EXPECT_EQ(data.substr(0, 2), HexOf({drawn[39]}));
    EXPECT_EQ(data.substr(data.size() - 3, 2), HexOf({drawn[0]}));

    const std::string result = dialog.Text(IDC_RESULT);
    EXPECT_EQ(result.size(), 34u);
    EXPECT_EQ(DigitsOf(result), ReversedBytes(CallOf("GetHash").out("digest")));
    EXPECT_EQ(DigitsOf(result), ReversedBytes(HexOf(FakeComponent::Digest(drawn.data(), 40, 16))));
    EXPECT_TRUE(PromptSeam::TakeMessages().empty());
}

TEST_F(Md5Dialog, SameTickGivesTheSameFirstDataAndASecondTestDrawsTheNextForty)
{
    std::string firstData;
    {
        OpenMd5 dialog;
        dialog.Test();
        firstData = dialog.Text(IDC_DATA);
        dialog.Test();
        LcgReference lcg(kPinnedTicks);
        lcg.Skip(40);
        EXPECT_EQ(CallOf("HashData", 1).arg("data"), HexOf(DrawBytes(lcg, 40)));
        EXPECT_NE(dialog.Text(IDC_DATA), firstData);
    }
    fake.reset();
    OpenMd5 again;
    again.Test();
    EXPECT_EQ(again.Text(IDC_DATA), firstData);
}

TEST_F(Md5Dialog, TheGeneratorIsSeededWhenTheDialogObjectIsMade)
{
    crt::srand(1);
    CTestMD5 dialog(nullptr);
    EXPECT_EQ(crt::rand(), LcgReference(kPinnedTicks).Next());
}

TEST_F(Md5Dialog, AFailingHashCallIsReportedAndNoDigestIsShown)
{
    for (const char* method : {"HashData", "GetHash"}) {
        SCOPED_TRACE(method);
        fake.reset();
        OpenMd5 dialog;
        dialog.Test();  // a good run first: its digest must go
        ASSERT_FALSE(dialog.Text(IDC_RESULT).empty());
        fake.failMethod(method, E_INVALIDARG);
        dialog.Test();
        EXPECT_EQ(PromptSeam::TakeMessages(), std::vector<std::string>{std::string("IHashMD5::") + method +
                                                                       " failed: invalid argument (0x80070057)"});
        EXPECT_EQ(dialog.Text(IDC_RESULT), "");
        EXPECT_EQ(dialog.Text(IDC_DATA).size(), 85u);
    }
}

TEST_F(Md5Dialog, WithoutAnObjectTestSaysSoAndShowsNothing)
{
    fake.failCreation(CLSID_HashMD5);
    OpenMd5 dialog;
    EXPECT_EQ(PromptSeam::TakeMessages(), std::vector<std::string>{"IHashMD5 failed"});
    dialog.Test();
    const auto messages = PromptSeam::TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("The IHashMD5 object could not be created", 0), 0u) << messages[0];
    EXPECT_EQ(dialog.Text(IDC_DATA), "");
    EXPECT_EQ(dialog.Text(IDC_RESULT), "");
}

}  // namespace
