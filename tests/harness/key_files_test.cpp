// The three key files on the real component: two programs saving to one base
// name never leave files of two keys side by side, and a name the system
// refuses fails with the system's reason instead of a save that cannot be
// read back.
#include "harness/key_files.h"

#include "real_component.h"
#include "temp_folder.h"

#include <runtime/com.h>
#include <runtime/com_ptr.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <barrier>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

ComPtr<IUserRSA> NewKey(const char* userId)
{
    ComPtr<IUserRSA> rsa;
    EXPECT_EQ(CoCreateInstance(CLSID_UserRSA, nullptr, CLSCTX_INPROC_SERVER, IID_IUserRSA, rsa.Put()), S_OK)
        << CoLastErrorText();
    if (rsa) {
        EXPECT_EQ(rsa->GenerateKey(userId, 2), S_OK);
    }
    return rsa;
}

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return in ? bytes.str() : "<unreadable>";
}

// The three files saved under base, in save order.
std::vector<std::string> KeySet(const std::string& base)
{
    return {Contents(base + ".wky"), Contents(base + ".rky"), Contents(base + ".asy")};
}

// What SaveKeyFiles said: "ok" or the failure's text, file by file.
std::vector<std::string> Reported(const std::array<harness::KeyFileSave, 3>& saves)
{
    std::vector<std::string> lines;
    for (const harness::KeyFileSave& save : saves)
        lines.push_back(save.failure ? save.failure->call + ": " + save.failure->reason : "ok");
    return lines;
}

// A path of exactly length bytes under folder whose last name is name
// padded with 'k' in front; the folders on the way are made.
std::string PathOfLength(const TempFolder& folder, std::size_t length)
{
    std::string path = folder.Path().string();
    while (length - path.size() - 1 > 200) {
        path += "/" + std::string(std::min<std::size_t>(200, length - path.size() - 1 - 100), 'f');
        std::filesystem::create_directory(path);
    }
    return path + "/" + std::string(length - path.size() - 1, 'k');
}

class KeyFiles : public testing::Test {
protected:
    void SetUp() override { UseRealComponentOrSkip(); }
    TempFolder folder;
};

TEST_F(KeyFiles, TwoSaversOfOneBaseNameNeverLeaveAMixedSet)
{
    // Each key's files as it writes them alone.
    const char* const users[] = {"First", "Second"};
    ComPtr<IUserRSA> keys[] = {NewKey(users[0]), NewKey(users[1])};
    ASSERT_TRUE(keys[0] && keys[1]);
    std::vector<std::string> alone[2];
    for (int k = 0; k < 2; ++k) {
        const std::string base = folder.File(users[k]);
        for (const harness::KeyFileSave& save : harness::SaveKeyFiles(*keys[k].Get(), base))
            ASSERT_FALSE(save.failure) << save.path;
        alone[k] = KeySet(base);
    }
    ASSERT_NE(alone[0], alone[1]);

    // Two savers with open files of their own race for the same names, round
    // after round; after each round the set is one key's, whole.
    const std::string shared = folder.File("MyKey");
    constexpr int kRounds = 20;
    std::barrier<> round(3);
    auto saver = [&](IUserRSA& key) {
        for (int i = 0; i < kRounds; ++i) {
            round.arrive_and_wait();
            for (const harness::KeyFileSave& save : harness::SaveKeyFiles(key, shared))
                EXPECT_FALSE(save.failure) << save.path;
            round.arrive_and_wait();
        }
    };
    std::thread first(saver, std::ref(*keys[0].Get())), second(saver, std::ref(*keys[1].Get()));
    int mixed = 0;
    for (int i = 0; i < kRounds; ++i) {
        round.arrive_and_wait();
        round.arrive_and_wait();
        const std::vector<std::string> set = KeySet(shared);
        mixed += set != alone[0] && set != alone[1];
    }
    first.join();
    second.join();
    EXPECT_EQ(mixed, 0) << "rounds that left files of both keys";
}

TEST_F(KeyFiles, NamesTheSystemRefusesOrAFolderLockedByAnotherFailWithTheirReason)
{
    ComPtr<IUserRSA> key = NewKey("Alice");
    ASSERT_TRUE(key);
    const std::string folderName = folder.Path().string();
    const std::vector<std::string> tooLong(3, "File name too long");
    struct Case {
        const char* what;
        std::string base;
        bool lockFolder;
        std::vector<std::string> reasons;  // empty: saved, and read back
    };
    const Case cases[] = {
        {"the longest path", PathOfLength(folder, PATH_MAX - 1 - 4), false, {}},
        {"a path one byte longer", PathOfLength(folder, PATH_MAX - 4), false, tooLong},
        {"the longest name", folder.File(std::string(NAME_MAX - 4, 'n')), false, {}},
        {"a name one byte longer", folder.File(std::string(NAME_MAX - 3, 'n')), false, tooLong},
        {"a folder locked by another program", folder.File("Locked"), true,
         std::vector<std::string>(3, "Another program is still saving keys in the folder " + folderName)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int folderFd = open(folderName.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(folderFd, 0);
        if (c.lockFolder) {
            ASSERT_EQ(flock(folderFd, LOCK_EX), 0);
        }
        const auto saves = harness::SaveKeyFiles(*key.Get(), c.base, std::chrono::milliseconds(0));
        close(folderFd);

        if (c.reasons.empty()) {
            EXPECT_EQ(Reported(saves), std::vector<std::string>(3, "ok"));
            // What was saved can be read from the same path.
            ComPtr<IUserRSA> loaded = NewKey("Other");
            ASSERT_TRUE(loaded);
            EXPECT_EQ(loaded->LoadAsyFile((c.base + ".asy").c_str()), S_OK);
            continue;
        }
        EXPECT_EQ(Reported(saves),
                  (std::vector<std::string>{"SaveWkyFile: " + c.reasons[0], "SaveRkyFile: " + c.reasons[1],
                                            "SaveAsyFile: " + c.reasons[2]}));
        for (const harness::KeyFileSave& save : saves)
            EXPECT_NE(access(save.path.c_str(), F_OK), 0) << "nothing written at " << save.path.size() << " bytes";
    }
}

}  // namespace
