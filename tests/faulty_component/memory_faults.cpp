#include "memory_faults.h"

#include <tarvel/ids.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>
#include <thread>

namespace memory_faults {
namespace {

std::atomic<long> g_objects{0};
std::atomic<long> g_factoryReferences{0};

bool Is(std::string_view fault)
{
    const char* named = std::getenv("TARVEL_FAULT");
    return named && fault == named;
}

// Keeps the compiler from dropping the reads the faults exist for.
volatile std::uint8_t g_sink;

}  // namespace

void ObjectCreated()
{
    g_objects.fetch_add(1);
}

void ObjectDestroyed()
{
    g_objects.fetch_sub(1);
}

void FactoryReferenced()
{
    g_factoryReferences.fetch_add(1);
}

void FactoryReleased()
{
    g_factoryReferences.fetch_sub(1);
}

HRESULT CanUnloadNow()
{
    if (Is("unload-always-ok"))
        return S_OK;
    return g_objects.load() > 0 || g_factoryReferences.load() > 0 ? S_FALSE : S_OK;
}

bool FreeEarly(const IID& iid, unsigned long left)
{
    return left == 1 && iid == IID_IHashMD5 && Is("md5-freed-early");
}

void AfterGenerateKey()
{
    if (!Is("leak-per-generate"))
        return;
    // The pointer is dropped: nothing in the process refers to the block.
    void* lost = std::malloc(1024);
    if (lost)
        std::memset(lost, 0x4c, 1024);
    g_sink = static_cast<std::uint8_t*>(lost)[7];
}

void AfterSave()
{
    if (Is("descriptor-per-save"))
        (void)open("/dev/null", O_RDONLY | O_CLOEXEC);
}

void AfterDesSetKey()
{
    static std::once_flag started;
    if (Is("thread-left-running"))
        std::call_once(started, [] {
            std::thread([] {
                for (;;)
                    std::this_thread::sleep_for(std::chrono::seconds(1));
            }).detach();
        });
}

void BeforeDesEncrypt()
{
    if (!Is("des-uninitialised-branch"))
        return;
    auto* scratch = static_cast<volatile std::uint32_t*>(std::malloc(sizeof(std::uint32_t)));
    if (!scratch)
        return;
    if (*scratch == 0x5eed)
        g_sink = 1;
    std::free(const_cast<std::uint32_t*>(scratch));
}

void InspectSha1Input(const std::uint8_t* data, std::uint32_t bytes)
{
    if (!Is("sha1-heap-over-read") || bytes > 65536)
        return;
    auto* copy = static_cast<std::uint8_t*>(std::malloc(bytes ? bytes : 1));
    if (!copy)
        return;
    if (bytes)
        std::memcpy(copy, data, bytes);
    g_sink = static_cast<volatile std::uint8_t*>(copy)[bytes ? bytes : 1];
    std::free(copy);
}

}  // namespace memory_faults
