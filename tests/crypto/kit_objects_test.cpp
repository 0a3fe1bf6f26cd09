// tarvel::Unknown, HandOut, ClassFactory and ModuleCount as a component's
// caller sees them: statuses, the pointer handed back, when an object ends
// and when the library counts as in use.
#include <tarvel/class_factory.h>
#include <tarvel/crypto.h>

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace {

tarvel::ModuleCount g_module;
int g_destroyed = 0;

// A DES object whose methods do nothing; `throws` makes its construction fail.
template <tarvel::LastRelease kLastRelease = tarvel::LastRelease::Deletes>
class Des : public tarvel::Unknown<IUserDES, kLastRelease> {
public:
    Des() : tarvel::Unknown<IUserDES, kLastRelease>(IID_IUserDES) {}
    ~Des() override { ++g_destroyed; }
    HRESULT SetKey(const std::uint32_t*) override { return S_OK; }
    HRESULT GetKey(std::uint32_t*) override { return S_OK; }
    HRESULT Encrypt(std::uint32_t*) override { return S_OK; }
    HRESULT Decrypt(std::uint32_t*) override { return S_OK; }

private:
    tarvel::ModuleCount::Use m_use{g_module};
};

struct Throwing : Des<> {
    Throwing() { throw std::runtime_error("no"); }
};
struct OutOfMemory : Des<> {
    OutOfMemory() { throw std::bad_alloc(); }
};

TEST(KitObjects, QueryInterfaceAnswersForIUnknownAndItsOwnInterfaceOnly)
{
    const struct {
        const IID* asked;
        bool nullOut;
        HRESULT hr;
        ULONG references;  // after the call
    } cases[] = {
        {&IID_IUnknown, false, S_OK, 2},          {&IID_IUserDES, false, S_OK, 2},
        {&IID_IUserRSA, false, E_NOINTERFACE, 1}, {&IID_IClassFactory, false, E_NOINTERFACE, 1},
        {&IID_IUserDES, true, E_POINTER, 1},
    };
    for (const auto& c : cases) {
        Des<tarvel::LastRelease::Keeps> object;
        void* out = &object;  // not null, so a refusal must clear it
        EXPECT_EQ(object.QueryInterface(*c.asked, c.nullOut ? nullptr : &out), c.hr);
        EXPECT_EQ(object.References(), c.references);
        if (!c.nullOut) {
            EXPECT_EQ(out, c.hr == S_OK ? static_cast<IUserDES*>(&object) : nullptr);
        }
    }
}

TEST(KitObjects, TheLastReleaseDeletesOnlyWhatDeletesItself)
{
    g_destroyed = 0;
    auto* made = new Des<>;
    EXPECT_EQ(made->AddRef(), 2u);
    EXPECT_EQ(made->Release(), 1u);
    EXPECT_EQ(g_destroyed, 0);
    EXPECT_EQ(made->Release(), 0u);
    EXPECT_EQ(g_destroyed, 1);

    {
        Des<tarvel::LastRelease::Keeps> kept;
        EXPECT_EQ(kept.Release(), 0u);
        EXPECT_EQ(g_destroyed, 1);
    }
    EXPECT_EQ(g_destroyed, 2);
}

TEST(KitObjects, HandOutGivesTheCallerTheOnlyReferenceOrEndsTheObject)
{
    g_destroyed = 0;
    void* out = nullptr;
    EXPECT_EQ(tarvel::HandOut(new Des<>, IID_IUserRSA, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(g_destroyed, 1);
    EXPECT_EQ(tarvel::HandOut(static_cast<Des<>*>(nullptr), IID_IUserDES, &out), E_OUTOFMEMORY);
    EXPECT_EQ(tarvel::HandOut(new Des<>, IID_IUserDES, nullptr), E_POINTER);
    EXPECT_EQ(g_destroyed, 2);

    ASSERT_EQ(tarvel::HandOut(new Des<>, IID_IUserDES, &out), S_OK);
    EXPECT_EQ(static_cast<IUserDES*>(out)->Release(), 0u);
    EXPECT_EQ(g_destroyed, 3);
}

TEST(KitObjects, FactoriesObjectsAndLocksKeepTheLibraryInUse)
{
    ASSERT_FALSE(g_module.InUse());
    auto* factory = new tarvel::ClassFactory<Des<>>(g_module);
    EXPECT_TRUE(g_module.InUse());
    void* out = nullptr;
    EXPECT_EQ(factory->CreateInstance(factory, IID_IUserDES, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUserDES, nullptr), E_POINTER);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUserDES, &out), S_OK);
    EXPECT_EQ(factory->LockServer(1), S_OK);
    factory->Release();
    static_cast<IUserDES*>(out)->Release();
    EXPECT_TRUE(g_module.InUse()) << "the lock is still held";
    EXPECT_EQ(tarvel::HandOut(new tarvel::ClassFactory<Des<>>(g_module), IID_IClassFactory, &out), S_OK);
    auto* second = static_cast<IClassFactory*>(out);
    EXPECT_EQ(second->LockServer(0), S_OK);
    EXPECT_EQ(second->LockServer(0), S_OK);  // one unlock too many changes nothing
    second->Release();
    EXPECT_FALSE(g_module.InUse());
    g_module.Lock();
    EXPECT_TRUE(g_module.InUse()) << "an unlock too many must not have wrapped the count";
    g_module.Unlock();
}

TEST(KitObjects, AnExceptionInAConstructorBecomesAStatus)
{
    tarvel::ClassFactory<Throwing> throwing(g_module);
    tarvel::ClassFactory<OutOfMemory> outOfMemory(g_module);
    void* out = &g_module;
    EXPECT_EQ(throwing.CreateInstance(nullptr, IID_IUserDES, &out), E_FAIL);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(outOfMemory.CreateInstance(nullptr, IID_IUserDES, &out), E_OUTOFMEMORY);
}

}  // namespace
