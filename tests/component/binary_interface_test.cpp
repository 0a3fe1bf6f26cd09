// The component as a stranger sees it: loaded with dlopen, reached through
// DllGetClassObject, with nothing but the headers in crypto/.
#include <tarvel/crypto.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <memory>
#include <utility>

namespace {

struct LibraryClose {
    void operator()(void* handle) const { dlclose(handle); }
};
using Library = std::unique_ptr<void, LibraryClose>;

// One reference to an object; released when the holder goes.
template <class T>
class Ref {
public:
    Ref() = default;
    ~Ref() { Reset(); }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }
    void** Out()
    {
        Reset();
        return reinterpret_cast<void**>(&m_p);
    }
    void Reset()
    {
        if (T* p = std::exchange(m_p, nullptr))
            p->Release();
    }

private:
    T* m_p = nullptr;
};

class BinaryInterface : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The component under test, as every other case here loads it: the
        // one TARVEL_COMPONENT names, else the bundled one.
        const char* chosen = std::getenv("TARVEL_COMPONENT");
        const char* path = chosen && *chosen ? chosen : TARVEL_COMPONENT_FILE;
        library.reset(dlopen(path, RTLD_NOW | RTLD_LOCAL));
        ASSERT_TRUE(library) << path << ": " << dlerror();
        getClassObject = reinterpret_cast<DllGetClassObjectFn>(dlsym(library.get(), "DllGetClassObject"));
        canUnloadNow = reinterpret_cast<DllCanUnloadNowFn>(dlsym(library.get(), "DllCanUnloadNow"));
        ASSERT_TRUE(getClassObject && canUnloadNow);
    }

    Library library;
    DllGetClassObjectFn getClassObject = nullptr;
    DllCanUnloadNowFn canUnloadNow = nullptr;
};

TEST_F(BinaryInterface, EveryClassHasAFactoryThatMakesItsObject)
{
    const std::pair<CLSID, IID> classes[] = {{CLSID_UserRSA, IID_IUserRSA},
                                             {CLSID_UserDES, IID_IUserDES},
                                             {CLSID_HashSHA1, IID_IHashSHA1},
                                             {CLSID_HashMD5, IID_IHashMD5}};
    for (const auto& [clsid, iid] : classes) {
        Ref<IClassFactory> factory;
        ASSERT_EQ(getClassObject(clsid, IID_IClassFactory, factory.Out()), S_OK);
        Ref<IUnknown> object;
        ASSERT_EQ(factory->CreateInstance(nullptr, iid, object.Out()), S_OK);
        Ref<IUnknown> unknown;
        EXPECT_EQ(object->QueryInterface(IID_IUnknown, unknown.Out()), S_OK);
        EXPECT_EQ(unknown.Get(), object.Get());
    }
}

TEST_F(BinaryInterface, RefusalsLeaveNoObjectBehind)
{
    void* out = &out;
    EXPECT_EQ(getClassObject(IID_IUserRSA, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(getClassObject(CLSID_UserRSA, IID_IClassFactory, nullptr), E_POINTER);

    Ref<IClassFactory> factory;
    ASSERT_EQ(getClassObject(CLSID_HashSHA1, IID_IClassFactory, factory.Out()), S_OK);
    Ref<IUnknown> outer;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, outer.Out()), S_OK);
    out = &out;
    EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    out = &out;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IHashMD5, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    out = &out;
    EXPECT_EQ(outer->QueryInterface(IID_IUserDES, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
}

TEST_F(BinaryInterface, StaysLoadedWhileObjectsOrLocksLive)
{
    ASSERT_EQ(canUnloadNow(), S_OK);
    Ref<IClassFactory> factory;
    ASSERT_EQ(getClassObject(CLSID_UserDES, IID_IClassFactory, factory.Out()), S_OK);
    Ref<IUserDES> des;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUserDES, des.Out()), S_OK);
    ASSERT_EQ(factory->LockServer(1), S_OK);
    factory.Reset();
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "an object lives and the server is locked";

    EXPECT_EQ(des->AddRef(), 2u);
    EXPECT_EQ(des->Release(), 1u);
    des.Reset();
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "the server is still locked";

    ASSERT_EQ(getClassObject(CLSID_UserDES, IID_IClassFactory, factory.Out()), S_OK);
    ASSERT_EQ(factory->LockServer(0), S_OK);
    factory.Reset();
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(BinaryInterface, HashesThroughTheRawSlots)
{
    Ref<IClassFactory> factory;
    ASSERT_EQ(getClassObject(CLSID_HashMD5, IID_IClassFactory, factory.Out()), S_OK);
    Ref<IHashMD5> md5;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IHashMD5, md5.Out()), S_OK);
    const std::uint8_t abc[] = {'a', 'b', 'c'};
    std::uint8_t digest[kMd5DigestBytes] = {};
    ASSERT_EQ(md5->HashData(abc, sizeof abc), S_OK);
    ASSERT_EQ(md5->GetHash(digest), S_OK);
    EXPECT_EQ(digest[0], 0x90);
    EXPECT_EQ(digest[15], 0x72);
}

}  // namespace
