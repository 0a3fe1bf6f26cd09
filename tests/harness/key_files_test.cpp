// The three key files on the real component: two programs saving to one base
// name never leave files of two keys side by side, and a name the system
// refuses, or a folder another saver keeps, fails with its reason.
#include "harness/key_files.h"

#include "real_component.h"
#include "temp_folder.h"

#include <runtime/object_binding.h>
#include <runtime/com_ptr.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <barrier>
#include <climits>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

ComPtr<IUserRSA> NewKey(const char* userId)
{
    ComPtr<IUserRSA> rsa;
    if (CoCreateInstance(CLSID_UserRSA, nullptr, CLSCTX_INPROC_SERVER, IID_IUserRSA, rsa.Put()) != S_OK ||
        rsa->GenerateKey(userId, 2) != S_OK)
        ADD_FAILURE() << "no key for " << userId << ": " << CoLastErrorText();
    return rsa;
}

// What each save reported ("ok" or its reason), and the three files as they are.
std::vector<std::string> Saved(IUserRSA& key, const std::string& base)
{
    std::vector<std::string> lines;
    for (const harness::KeyFileSave& save : harness::SaveKeyFiles(key, base, std::chrono::milliseconds(0)))
        lines.push_back(save.failure ? save.failure->call + ": " + save.failure->reason : "ok");
    return lines;
}
std::string ReadFileOrEmpty(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
std::vector<std::string> KeySet(const std::string& base)
{
    std::vector<std::string> contents;
    for (const char* extension : {".wky", ".rky", ".asy"})
        contents.push_back(ReadFileOrEmpty(base + extension));
    return contents;
}

class KeyFiles : public testing::Test {
protected:
    void SetUp() override { UseRealComponentOrSkip(); }
    TempFolder folder;
};

TEST_F(KeyFiles, TwoSaversOfOneBaseNameNeverLeaveAMixedSet)
{
    ComPtr<IUserRSA> keys[] = {NewKey("First"), NewKey("Second")};
    ASSERT_TRUE(keys[0] && keys[1]);
    std::vector<std::string> alone[2];  // each key's files as it writes them alone
    for (int k = 0; k < 2; ++k) {
        ASSERT_EQ(Saved(*keys[k].Get(), folder.File(std::to_string(k))), std::vector<std::string>(3, "ok"));
        alone[k] = KeySet(folder.File(std::to_string(k)));
    }

    // Two savers, each with open files of its own, race for the same names
    // round after round; after each round the set is one key's, whole.
    constexpr int kRounds = 20;
    std::barrier<> round(3);
    auto saver = [&](IUserRSA& key) {
        for (int i = 0; i < kRounds; ++i) {
            round.arrive_and_wait();
            for (const harness::KeyFileSave& save : harness::SaveKeyFiles(key, folder.File("MyKey")))
                EXPECT_FALSE(save.failure) << save.path;
            round.arrive_and_wait();
        }
    };
    std::thread first(saver, std::ref(*keys[0].Get())), second(saver, std::ref(*keys[1].Get()));
    int mixed = 0;
    for (int i = 0; i < kRounds; ++i) {
        round.arrive_and_wait();
        round.arrive_and_wait();
        const std::vector<std::string> set = KeySet(folder.File("MyKey"));
        mixed += set != alone[0] && set != alone[1];
    }
    first.join();
    second.join();
    EXPECT_EQ(mixed, 0) << "rounds that left files of both keys";
}

TEST_F(KeyFiles, ANameTheSystemRefusesOrAFolderAnotherSaverKeepsFailsWithItsReason)
{
    ComPtr<IUserRSA> key = NewKey("Alice");
    ASSERT_TRUE(key);
    // A path of PATH_MAX - 1 bytes with its ending is the longest there is.
    std::string deep = folder.Path().string();
    while (PATH_MAX - 1 - 4 - deep.size() > 200)
        std::filesystem::create_directory(deep += "/" + std::string(100, 'f'));
    const std::string longest = deep + "/" + std::string(PATH_MAX - 1 - 4 - deep.size() - 1, 'k');
    const std::vector<std::string> ok(3, "ok");
    const std::string tooLong = ": File name too long";
    const std::string busy = ": Another program is still saving keys in the folder " + folder.Path().string();
    const struct {
        std::string base;
        bool folderLocked;
        std::vector<std::string> reported;
    } cases[] = {
        {longest, false, ok},
        {longest + "k", false, {"SaveWkyFile" + tooLong, "SaveRkyFile" + tooLong, "SaveAsyFile" + tooLong}},
        {folder.File(std::string(NAME_MAX - 4, 'n')), false, ok},
        {folder.File(std::string(NAME_MAX - 3, 'n')),
         false,
         {"SaveWkyFile" + tooLong, "SaveRkyFile" + tooLong, "SaveAsyFile" + tooLong}},
        {folder.File("Locked"), true, {"SaveWkyFile" + busy, "SaveRkyFile" + busy, "SaveAsyFile" + busy}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.base.size()) + " bytes");
        const int other = open(folder.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_TRUE(other >= 0 && (!c.folderLocked || flock(other, LOCK_EX) == 0));
        EXPECT_EQ(Saved(*key.Get(), c.base), c.reported);
        close(other);
        // Saved means it can be loaded from the same path; refused means nothing was written.
        ComPtr<IUserRSA> loaded = NewKey("Other");
        EXPECT_EQ(loaded->LoadAsyFile((c.base + ".asy").c_str()) == S_OK, c.reported == ok);
        EXPECT_EQ(KeySet(c.base) == std::vector<std::string>(3, ""), c.reported != ok);
    }
}

}  // namespace
