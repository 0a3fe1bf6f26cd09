// The three dialogs on the real component (the bundled one, or whichever
// TARVEL_COMPONENT names): digests of files of known content, the DES round
// trip, and MD5 against an independent implementation.
#include "des_hash_tests/test_des.h"
#include "des_hash_tests/test_md5.h"
#include "des_hash_tests/test_sha1.h"
#include "des_hash_tests/test_dialog_resource_ids.h"
#include "hex_text.h"
#include "real_component.h"
#include "tarvel3_resources.h"
#include "temp_folder.h"

#include "runtime/object_binding.h"
#include "framework/prompts.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace tarvel3_ids;

namespace {

class RealComponent : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallTarvel3Resources();
        PromptSeam::AnswerUnattended();
        PromptSeam::TakeMessages();
        UseRealComponentOrSkip();
    }
};

struct KnownFile {
    const char* name;
    std::string content;
    const char* shown;  // the standard digest, last byte first
};

TEST_F(RealComponent, Sha1OfFilesOfKnownContentIsTheStandardDigestLastByteFirst)
{
    const KnownFile files[] = {
        // a9993e36 4706816a ba3e2571 7850c26c 9cd0d89d
        {"abc", "abc", "9dd8d09c 6cc2507871253eba 6a810647363e99a9 "},
        // da39a3ee 5e6b4b0d 3255bfef 95601890 afd80709
        {"empty", "", "0907d8af 90186095efbf5532 0d4b6b5eeea339da "},
        // 34aa973c d4c4daa4 f61eeb2b dbad2731 6534016f
        {"million-a", std::string(1000000, 'a'), "6f013465 3127addb2beb1ef6 a4dac4d43c97aa34 "},
    };
    TempFolder folder;
    CTestSHA1 dialog(nullptr);
    ASSERT_TRUE(dialog.Create());
    for (const KnownFile& file : files) {
        SCOPED_TRACE(file.name);
        PromptSeam::QueueFileDialogAnswer(folder.Write(file.name, file.content));
        dialog.OnCommand(IDC_FILENAME_BUTTON);
        EXPECT_EQ(dialog.GetDlgItemText(IDC_RESULT).str(), file.shown);
        const std::string time = dialog.GetDlgItemText(IDC_TIME).str();
        const std::string size = " millisec on " + std::to_string(file.content.size()) + " bytes";
        EXPECT_TRUE(time.size() > size.size() && time.compare(time.size() - size.size(), size.size(), size) == 0)
            << time;
    }
    EXPECT_TRUE(PromptSeam::TakeMessages().empty());
    dialog.DestroyWindow();
}

TEST_F(RealComponent, DesDecodeEqualsDataAndEncodeDiffers)
{
    CTestDES dialog(nullptr);
    ASSERT_TRUE(dialog.Create());
    for (int press = 0; press < 5; ++press) {
        dialog.OnCommand(IDC_TEST);
        EXPECT_EQ(dialog.GetDlgItemText(IDC_DECODE).str(), dialog.GetDlgItemText(IDC_DATA).str());
        EXPECT_NE(dialog.GetDlgItemText(IDC_ENCODE).str(), dialog.GetDlgItemText(IDC_DATA).str());
        EXPECT_EQ(dialog.GetDlgItemText(IDC_ENCODE).str().size(), 17u);
    }
    EXPECT_TRUE(PromptSeam::TakeMessages().empty());
    dialog.DestroyWindow();
}

std::vector<std::uint8_t> BytesOfHex(const std::string& hex)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::vector<std::uint8_t> Md5Of(const std::vector<std::uint8_t>& data)
{
    std::vector<std::uint8_t> digest(EVP_MAX_MD_SIZE);
    unsigned length = 0;
    EXPECT_EQ(EVP_Digest(data.data(), data.size(), digest.data(), &length, EVP_md5(), nullptr), 1);
    digest.resize(length);
    return digest;
}

TEST_F(RealComponent, Md5ResultIsTheDigestOfTheShownBytesInDrawingOrder)
{
    // The algorithm itself against RFC 1321, in the rendering the dialog uses.
    EXPECT_EQ(HexOf(Md5Of({'a', 'b', 'c'})), "900150983cd24fb0d6963f7d28e17f72");

    CTestMD5 dialog(nullptr);
    ASSERT_TRUE(dialog.Create());
    for (int press = 0; press < 3; ++press) {
        dialog.OnCommand(IDC_TEST);
        // The Data text runs from the last byte drawn to the first.
        const std::vector<std::uint8_t> drawn =
            BytesOfHex(ReversedBytes(DigitsOf(dialog.GetDlgItemText(IDC_DATA).str())));
        ASSERT_EQ(drawn.size(), 40u);
        EXPECT_EQ(DigitsOf(dialog.GetDlgItemText(IDC_RESULT).str()), ReversedBytes(HexOf(Md5Of(drawn))));
    }
    EXPECT_TRUE(PromptSeam::TakeMessages().empty());
    dialog.DestroyWindow();
}

}  // namespace
