#include "des_hash_tests/test_sha1.h"
#include "des_hash_tests/test_dialog_resource_ids.h"
#include "hex_text.h"
#include "tarvel3_dialog_test.h"
#include "temp_folder.h"

#include <tarvel/unknown.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace tarvel3_ids;

namespace {

class Sha1Dialog : public Tarvel3DialogTest {
protected:
    Sha1Dialog() : Tarvel3DialogTest(1000) {}
    void TearDown() override
    {
        if (dialog.GetSafeHwnd())
            dialog.DestroyWindow();
        Tarvel3DialogTest::TearDown();
    }

    void Open() { ASSERT_TRUE(dialog.Create()); }
    // Picks path in the file dialog that FileName opens (nullopt: Cancel).
    void ChooseFile(std::optional<std::string> path)
    {
        PromptSeam::QueueFileDialogAnswer(std::move(path));
        dialog.OnCommand(IDC_FILENAME_BUTTON);
    }
    std::string Text(int id) const { return dialog.GetDlgItemText(id).str(); }
    // Calls since the last mark.
    std::vector<FakeCall> NewCalls() const
    {
        const std::vector<FakeCall> all = fake.calls();
        return std::vector<FakeCall>(all.begin() + static_cast<std::ptrdiff_t>(std::min(m_mark, all.size())),
                                     all.end());
    }
    void Mark() { m_mark = fake.calls().size(); }
    std::vector<std::string> HashCalls() const
    {
        std::vector<std::string> names;
        for (const FakeCall& call : NewCalls())
            if (call.method == "HashData" || call.method == "GetHash")
                names.push_back(call.method);
        return names;
    }
    // The first call of method since the last mark.
    FakeCall NewCallOf(const std::string& method) const { return FakeComponent::NthCall(NewCalls(), method); }
    // Hashes a small file, so that texts a failure must clear are present.
    void HashAGoodFileFirst()
    {
        ChooseFile(folder.Write("good", "good file"));
        ASSERT_FALSE(Text(IDC_RESULT).empty());
        ASSERT_FALSE(Text(IDC_TIME).empty());
        Mark();
    }
    void ExpectOneMessage(const std::string& text)
    {
        EXPECT_EQ(PromptSeam::TakeMessages(), std::vector<std::string>{text});
    }
    void ExpectNothingHashedAndNothingShown(const std::string& path)
    {
        EXPECT_EQ(HashCalls(), std::vector<std::string>{});
        EXPECT_EQ(Text(IDC_FILENAME), path);
        EXPECT_EQ(Text(IDC_RESULT), "");
        EXPECT_EQ(Text(IDC_TIME), "");
    }

    TempFolder folder;
    CTestSHA1 dialog{nullptr};

private:
    std::size_t m_mark = 0;
};

TEST_F(Sha1Dialog, HashesTheWholeChosenFileInOneCallAndShowsDigestTimeAndSize)
{
    Open();
    const std::string path = folder.Write("nine.txt", "some text");
    ChooseFile(path);

    EXPECT_EQ(HashCalls(), (std::vector<std::string>{"HashData", "GetHash"}));
    EXPECT_EQ(NewCallOf("HashData").arg("bytes"), "9");
    EXPECT_EQ(NewCallOf("HashData").arg("data"), HexOf({'s', 'o', 'm', 'e', ' ', 't', 'e', 'x', 't'}));

    const std::string result = Text(IDC_RESULT);
    ASSERT_EQ(result.size(), 43u) << result;
    EXPECT_EQ(result[8], ' ');
    EXPECT_EQ(result[25], ' ');
    EXPECT_EQ(result[42], ' ');
    EXPECT_EQ(DigitsOf(result), ReversedBytes(NewCallOf("GetHash").out("digest")));
    // The tick count is pinned, so the span is 0 ms.
    EXPECT_EQ(Text(IDC_TIME), "0 millisec on 9 bytes");
    EXPECT_EQ(Text(IDC_FILENAME), path);
    EXPECT_TRUE(PromptSeam::TakeMessages().empty());
}

TEST_F(Sha1Dialog, CancelInTheFileDialogChangesNothing)
{
    Open();
    HashAGoodFileFirst();
    const std::string result = Text(IDC_RESULT), time = Text(IDC_TIME);
    dialog.SetDlgItemText(IDC_FILENAME, "typed but never used");

    ChooseFile(std::nullopt);

    EXPECT_EQ(Text(IDC_FILENAME), "typed but never used");
    EXPECT_EQ(Text(IDC_RESULT), result);
    EXPECT_EQ(Text(IDC_TIME), time);
    EXPECT_TRUE(NewCalls().empty());
    EXPECT_TRUE(PromptSeam::TakeMessages().empty());
}

TEST_F(Sha1Dialog, APathTypedIntoTheEditIsIgnored)
{
    Open();
    const std::string typed = folder.Write("typed", "typed");
    const std::string chosen = folder.Write("chosen", "chosen!");
    dialog.SetDlgItemText(IDC_FILENAME, typed.c_str());
    ChooseFile(chosen);
    EXPECT_EQ(NewCallOf("HashData").arg("bytes"), "7");
    EXPECT_EQ(Text(IDC_FILENAME), chosen);
}

TEST_F(Sha1Dialog, AnEmptyFileIsHashedAsZeroBytes)
{
    Open();
    HashAGoodFileFirst();
    ChooseFile(folder.Write("empty", ""));
    EXPECT_EQ(HashCalls(), (std::vector<std::string>{"HashData", "GetHash"}));
    EXPECT_EQ(NewCallOf("HashData").arg("bytes"), "0");
    EXPECT_EQ(NewCallOf("HashData").result, S_OK);
    EXPECT_EQ(DigitsOf(Text(IDC_RESULT)), ReversedBytes(NewCallOf("GetHash").out("digest")));
    EXPECT_EQ(Text(IDC_TIME), "0 millisec on 0 bytes");
    EXPECT_TRUE(PromptSeam::TakeMessages().empty());
}

TEST_F(Sha1Dialog, WhatCannotBeOpenedIsReportedWithTheReasonAndClearsTheDigest)
{
    const std::string fifo = folder.File("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(folder.File("folder"));
    const std::pair<std::string, std::string> cases[] = {
        {folder.File("gone"), "No such file or directory"},
        {folder.File("folder"), "it is a folder, not a file"},
        {fifo, "it is a pipe (FIFO), not a regular file"},  // must not block
        {"/dev/null", "it is a device, not a regular file"},
    };
    Open();
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path);
        HashAGoodFileFirst();
        ChooseFile(path);
        ExpectOneMessage("Cannot open " + path + ": " + reason + ".");
        ExpectNothingHashedAndNothingShown(path);
    }
}

TEST_F(Sha1Dialog, AFileThatCannotBeMappedIsReportedAndClearsTheDigest)
{
    // Attribute files of sysfs are regular files that refuse to be mapped.
    const std::string path = "/sys/kernel/uevent_seqnum";
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || access(path.c_str(), R_OK) != 0)
        GTEST_SKIP() << path << " is not available here";
    Open();
    HashAGoodFileFirst();
    ChooseFile(path);
    ExpectOneMessage("Cannot map " + path + " into memory: No such device.");
    ExpectNothingHashedAndNothingShown(path);
}

TEST_F(Sha1Dialog, AFileOf4GiBOrMoreIsRefusedAndNothingIsHashed)
{
    const std::string path = folder.File("huge.img");
    {
        // Sparse: no disk space is used.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        const int resized = ftruncate(fd, static_cast<off_t>(0x100000000LL));
        ::close(fd);
        if (resized != 0)
            GTEST_SKIP() << "this file system cannot hold a 4 GiB file";
    }
    Open();
    HashAGoodFileFirst();
    ChooseFile(path);
    ExpectOneMessage(path + " is 4 GiB or larger. Files of that size cannot be hashed here: the component takes a "
                            "32-bit byte count. Nothing was hashed.");
    ExpectNothingHashedAndNothingShown(path);
}

TEST_F(Sha1Dialog, AFailingHashCallIsReportedAndNoDigestIsShown)
{
    // A status without a name of its own is told by its number alone.
    const struct {
        const char* method;
        HRESULT status;
        const char* message;
    } failures[] = {{"HashData", E_FAIL, "IHashSHA1::HashData failed: unspecified failure (0x80004005)"},
                    {"GetHash", static_cast<HRESULT>(0x8000ABCDu), "IHashSHA1::GetHash failed (0x8000ABCD)"}};
    Open();
    for (const auto& [method, status, message] : failures) {
        SCOPED_TRACE(method);
        HashAGoodFileFirst();
        fake.failMethod(method, status, 1);
        const std::string path = folder.Write("next", "next file");
        ChooseFile(path);
        ExpectOneMessage(message);
        EXPECT_EQ(Text(IDC_FILENAME), path);
        EXPECT_EQ(Text(IDC_RESULT), "");
        EXPECT_EQ(Text(IDC_TIME), "");
    }
}

TEST_F(Sha1Dialog, WithoutAnObjectFileNameSaysSoBeforeAskingForAFile)
{
    fake.failCreation(CLSID_HashSHA1);
    Open();
    ExpectOneMessage("IHashSHA1 failed");
    dialog.OnCommand(IDC_FILENAME_BUTTON);
    const auto messages = PromptSeam::TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("The IHashSHA1 object could not be created", 0), 0u) << messages[0];
    EXPECT_EQ(Text(IDC_FILENAME), "");
    EXPECT_EQ(Text(IDC_RESULT), "");
}

TEST_F(Sha1Dialog, AKernelFileThatReportsNoSizeIsRefusedAndNothingIsHashed)
{
    Open();
    for (const std::string path : {"/proc/version", "/proc/self/status"}) {
        SCOPED_TRACE(path);
        HashAGoodFileFirst();
        ChooseFile(path);
        ExpectOneMessage(path + " reports no size but has content, so it cannot be mapped. Nothing was hashed.");
        ExpectNothingHashedAndNothingShown(path);
    }
}

// A SHA-1 object whose HashData lets "another process" change the file
// before it reads the bytes, as happens when a file changes while it is
// hashed. It lives on the test's stack; Release only counts.
class ChangingSha1 final : public tarvel::Unknown<IHashSHA1, tarvel::LastRelease::Keeps> {
public:
    explicit ChangingSha1(std::function<void()> change) : Unknown(IID_IHashSHA1), m_change(std::move(change)) {}

    HRESULT GetHashSize(std::uint32_t* bytes) override
    {
        *bytes = 20;
        return S_OK;
    }
    HRESULT HashData(const std::uint8_t* data, std::uint32_t bytes) override
    {
        m_change();
        const volatile std::uint8_t* read = data;
        unsigned sum = 0;
        for (std::uint32_t i = 0; i < bytes; ++i)
            sum += read[i];
        return sum != 1 ? S_OK : E_FAIL;  // the sum only keeps the reads
    }
    HRESULT GetHash(std::uint8_t* digest) override
    {
        for (int i = 0; i < 20; ++i)
            digest[i] = 0xAA;
        return S_OK;
    }

private:
    std::function<void()> m_change;
};

class Sha1DialogOn : public CTestSHA1 {
public:
    using CTestSHA1::CTestSHA1;
    // Puts another SHA-1 object in place of the one the dialog created.
    void UseObject(IHashSHA1* object) { m_pSHA1.Attach(object); }
};

// Shows path through a dialog whose SHA-1 object runs change in HashData,
// and expects message alone, with no digest.
void ExpectChangeReported(const std::string& path, std::function<void()> change, const std::string& message)
{
    ChangingSha1 object(std::move(change));
    {
        Sha1DialogOn changing(nullptr);
        ASSERT_TRUE(changing.Create());
        changing.UseObject(&object);
        PromptSeam::QueueFileDialogAnswer(path);
        changing.OnCommand(IDC_FILENAME_BUTTON);

        EXPECT_EQ(PromptSeam::TakeMessages(), std::vector<std::string>{message});
        EXPECT_EQ(changing.GetDlgItemText(IDC_FILENAME).str(), path);
        EXPECT_EQ(changing.GetDlgItemText(IDC_RESULT).str(), "");
        EXPECT_EQ(changing.GetDlgItemText(IDC_TIME).str(), "");
        changing.DestroyWindow();
    }
    EXPECT_EQ(object.References(), 0u);
}

TEST_F(Sha1Dialog, AFileTruncatedWhileItIsHashedIsReportedWithoutCrashingOrADigest)
{
    const std::string path = folder.Write("shrinks", std::string(3 * 4096 + 100, 'x'));
    ExpectChangeReported(
        path, [&] { ASSERT_EQ(truncate(path.c_str(), 0), 0); },
        path + " changed while it was hashed (it became shorter), so no digest is shown.");
}

TEST_F(Sha1Dialog, AFileChangedWithinItsPagesWhileItIsHashedIsReportedWithoutADigest)
{
    // None of these faults the mapping: a cut inside the last page reads as
    // zeros, and the others leave every page in place.
    const auto rewrite = [](const std::string& path, off_t offset, const std::string& bytes) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        EXPECT_EQ(pwrite(fd, bytes.data(), bytes.size(), offset), static_cast<ssize_t>(bytes.size()));
        ::close(fd);
    };
    const struct {
        const char* what;
        std::function<void(const std::string&)> change;
    } cases[] = {
        {"cut short in its last page", [](const std::string& path) { ASSERT_EQ(truncate(path.c_str(), 9000), 0); }},
        {"rewritten in place", [&](const std::string& path) { rewrite(path, 0, std::string(10000, 'y')); }},
        {"one byte rewritten", [&](const std::string& path) { rewrite(path, 5000, "y"); }},
        {"grown", [&](const std::string& path) { rewrite(path, 10000, "more"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder.Write(c.what, std::string(10000, 'x'));
        // Written long ago, as most files are: a change now moves its times
        // even where the clock that stamps them is coarse.
        const timespec longAgo[2] = {{1000000000, 0}, {1000000000, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), longAgo, 0), 0);
        ExpectChangeReported(
            path, [&] { c.change(path); }, path + " changed while it was hashed, so no digest is shown.");
    }
}

}  // namespace
