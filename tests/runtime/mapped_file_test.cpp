#include "runtime/mapped_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int OpenDescriptorCount()
{
    return static_cast<int>(
        std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator()));
}

bool IsMapped(const std::string& path)
{
    std::ifstream maps("/proc/self/maps");
    const std::string all((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
    return all.find(path) != std::string::npos;
}

std::string Contents(const MappedFile& file)
{
    return std::string(reinterpret_cast<const char*>(file.Data()), file.Size());
}

TEST(MappedFile, MapsAWholeRegularFileAndReleasesItAtTheEnd)
{
    TempFolder folder;
    const std::string bytes = std::string(10000, 'x') + "end";
    const std::string path = folder.Write("data.bin", bytes);
    const int descriptorsBefore = OpenDescriptorCount();
    {
        MappedFile file;
        ASSERT_EQ(file.Open(path), MappedFile::Status::Ok) << file.ErrorText();
        EXPECT_EQ(file.Size(), bytes.size());
        EXPECT_EQ(Contents(file), bytes);
        EXPECT_TRUE(IsMapped(path));
    }
    EXPECT_FALSE(IsMapped(path));
    EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore);
}

// A large mapping is taken down on a thread of its own, a small one at once;
// either way the descriptor goes at once and the range soon after.
TEST(MappedFile, ClosingInTheBackgroundReleasesEverything)
{
    TempFolder folder;
    for (const std::uint64_t size : {std::uint64_t{4096}, std::uint64_t{64} << 20}) {
        SCOPED_TRACE(size);
        const std::string path = folder.Write("file-" + std::to_string(size), "");
        std::filesystem::resize_file(path, size);  // sparse: nothing is written
        const int descriptorsBefore = OpenDescriptorCount();
        MappedFile file;
        ASSERT_EQ(file.Open(path), MappedFile::Status::Ok) << file.ErrorText();
        ASSERT_TRUE(IsMapped(path));
        file.CloseInBackground();
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(file.Size(), 0u);
        EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore);
        // Not a time limit: only so that a range never released ends the test.
        for (int wait = 0; wait < 1000 && IsMapped(path); ++wait)
            usleep(10000);
        EXPECT_FALSE(IsMapped(path));
    }
}

TEST(MappedFile, EmptyFileIsValidZeroByteData)
{
    TempFolder folder;
    MappedFile file;
    ASSERT_EQ(file.Open(folder.Write("empty", "")), MappedFile::Status::Ok) << file.ErrorText();
    EXPECT_EQ(file.Size(), 0u);
    EXPECT_NE(file.Data(), nullptr);
}

TEST(MappedFile, ReopeningReleasesThePreviousFile)
{
    TempFolder folder;
    const std::string first = folder.Write("first", "one");
    const std::string second = folder.Write("second", "two!");
    MappedFile file;
    ASSERT_EQ(file.Open(first), MappedFile::Status::Ok);
    ASSERT_EQ(file.Open(second), MappedFile::Status::Ok);
    EXPECT_FALSE(IsMapped(first));
    EXPECT_EQ(Contents(file), "two!");
}

struct Refusal {
    const char* what;
    std::string path;
    const char* reason;
};

TEST(MappedFile, RefusesWhatIsNotAReadableRegularFileWithAReasonAndLeaksNothing)
{
    TempFolder folder;
    const std::string fifo = folder.File("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(folder.File("folder"));

    const Refusal refusals[] = {
        {"missing", folder.File("nothing-here"), "No such file or directory"},
        {"folder", folder.File("folder"), "folder"},
        // Opening a FIFO with no writer would wait forever: it must be refused
        // by a look at the name, before any open.
        {"fifo", fifo, "FIFO"},
        {"device", "/dev/null", "device"},
        {"path through a file", folder.Write("plain", "x") + "/below", "Not a directory"},
    };
    const int descriptorsBefore = OpenDescriptorCount();
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        MappedFile file;
        EXPECT_EQ(file.Open(refusal.path), MappedFile::Status::CannotOpen);
        EXPECT_NE(file.ErrorText().find(refusal.reason), std::string::npos) << file.ErrorText();
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(file.Data(), nullptr);
    }
    EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore);
}

TEST(MappedFile, RefusesAFileWithoutReadPermission)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    TempFolder folder;
    const std::string path = folder.Write("secret", "hidden");
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    MappedFile file;
    EXPECT_EQ(file.Open(path), MappedFile::Status::CannotOpen);
    EXPECT_NE(file.ErrorText().find("Permission denied"), std::string::npos) << file.ErrorText();
}

TEST(MappedFile, RefusesAFileAboveTheLimitWithoutMappingIt)
{
    TempFolder folder;
    const std::string path = folder.Write("five", "12345");
    const int descriptorsBefore = OpenDescriptorCount();
    MappedFile file;
    EXPECT_EQ(file.Open(path, 4), MappedFile::Status::TooLarge);
    EXPECT_FALSE(IsMapped(path));
    EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore);
    EXPECT_EQ(file.Open(path, 5), MappedFile::Status::Ok);
}

}  // namespace
