#include "runtime/mapped_file.h"
#include "runtime/mapping_prefetch.h"
#include "runtime/sigbus_guard.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>
#include <string>
#include <unistd.h>

namespace {

const std::size_t kPage = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));

// Reads every byte as a hash would; volatile so the reads really happen.
unsigned long SumOf(const std::uint8_t* data, std::size_t size)
{
    const volatile std::uint8_t* bytes = data;
    unsigned long sum = 0;
    for (std::size_t i = 0; i < size; ++i)
        sum += bytes[i];
    return sum;
}

volatile sig_atomic_t g_testHandlerRuns = 0;
void CountingHandler(int)
{
    g_testHandlerRuns = g_testHandlerRuns + 1;
}

// Installs CountingHandler for SIGBUS for the life of the object.
class CountingSigbusHandler {
public:
    CountingSigbusHandler()
    {
        g_testHandlerRuns = 0;
        struct sigaction action {};
        action.sa_handler = CountingHandler;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &m_saved);
    }
    ~CountingSigbusHandler() { sigaction(SIGBUS, &m_saved, nullptr); }

private:
    struct sigaction m_saved {};
};

TEST(SigbusGuard, ReadOfAFileTruncatedUnderTheMappingCompletesWithZerosAndIsFlagged)
{
    TempFolder folder;
    const std::string path = folder.Write("shrinking", std::string(3 * kPage, '\1'));
    MappedFile file;
    ASSERT_EQ(file.Open(path), MappedFile::Status::Ok) << file.ErrorText();
    // Another process would do this; the effect on the mapping is the same.
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(kPage)), 0);

    unsigned long sum = 0;
    bool tripped = false;
    {
        SigbusGuard guard(file.Data(), file.Size());
        sum = SumOf(file.Data(), file.Size());
        tripped = guard.Tripped();
    }
    EXPECT_TRUE(tripped);
    EXPECT_EQ(sum, kPage);  // the page still in the file, then zeros
}

TEST(SigbusGuard, UntouchedFileIsNotFlaggedAndThePreviousHandlerComesBack)
{
    CountingSigbusHandler counting;
    TempFolder folder;
    const std::string path = folder.Write("steady", std::string(kPage + 10, '\2'));
    MappedFile file;
    ASSERT_EQ(file.Open(path), MappedFile::Status::Ok);
    {
        SigbusGuard guard(file.Data(), file.Size());
        EXPECT_EQ(SumOf(file.Data(), file.Size()), 2 * (kPage + 10));
        EXPECT_FALSE(guard.Tripped());
    }
    struct sigaction now {};
    sigaction(SIGBUS, nullptr, &now);
    EXPECT_EQ(now.sa_handler, &CountingHandler);
}

TEST(SigbusGuard, SignalNotFromTheGuardedMappingGoesToThePreviousHandler)
{
    CountingSigbusHandler counting;
    TempFolder folder;
    const std::string path = folder.Write("any", std::string(100, '\3'));
    MappedFile file;
    ASSERT_EQ(file.Open(path), MappedFile::Status::Ok);
    SigbusGuard guard(file.Data(), file.Size());
    raise(SIGBUS);
    EXPECT_EQ(g_testHandlerRuns, 1);
    EXPECT_FALSE(guard.Tripped());
}

// The populating thread beside a reader: it covers a steady file whole, and
// on a file truncated under the mapping it raises nothing while the reader's
// guard still sees the truncation.
TEST(MappingPrefetch, PopulatesASteadyFileAndStopsQuietlyAtATruncation)
{
    CountingSigbusHandler counting;
    TempFolder folder;
    const std::uint64_t size = 3 * MappingPrefetch::kStep + kPage / 2;
    const std::uint64_t cut = MappingPrefetch::kStep;
    for (const bool truncated : {false, true}) {
        SCOPED_TRACE(truncated ? "truncated" : "steady");
        const std::string path = folder.Write(truncated ? "cut" : "whole", std::string(size, '\1'));
        MappedFile file;
        ASSERT_EQ(file.Open(path), MappedFile::Status::Ok) << file.ErrorText();
        if (truncated) {
            ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(cut)), 0);
        }
        unsigned long sum = 0;
        bool tripped = false;
        std::uint64_t populated = 0;
        {
            SigbusGuard guard(file.Data(), file.Size());
            {
                MappingPrefetch prefetch(file.Data(), file.Size());
                sum = SumOf(file.Data(), file.Size());
                // The thread may still be working; a refusal ends it at once.
                const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
                while (prefetch.Populated() < (truncated ? cut : size) && std::chrono::steady_clock::now() < deadline)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                populated = prefetch.Populated();
            }
            tripped = guard.Tripped();
        }
        EXPECT_EQ(tripped, truncated);
        EXPECT_EQ(sum, truncated ? cut : size);
        // Past a cut the thread either gave up or found the zero pages the
        // guard put there for the reader; both are quiet.
        if (!truncated) {
            EXPECT_EQ(populated, size);
        }
        EXPECT_EQ(g_testHandlerRuns, 0) << "no signal reached the program's own handler";
    }
}

}  // namespace
