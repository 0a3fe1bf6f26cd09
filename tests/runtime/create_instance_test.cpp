// Creating component objects by class id: every way a library can be unusable
// must give a negative status, a null object and a reason naming the file.
#include "fake_component.h"
#include "temp_folder.h"

#include "runtime/object_binding.h"
#include "runtime/com_ptr.h"

#include <tarvel/crypto.h>
#include <tarvel/ids.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

#ifndef TARVEL_NO_ENTRY_LIBRARY_PATH
#error "TARVEL_NO_ENTRY_LIBRARY_PATH must name the library without entry point"
#endif

// Points TARVEL_COMPONENT somewhere for one test (nullopt: unset) and puts the
// previous value back afterwards.
class ComponentVariable {
public:
    explicit ComponentVariable(const std::optional<std::string>& value)
    {
        if (const char* old = std::getenv("TARVEL_COMPONENT"))
            m_previous = old;
        Set(value);
    }
    ~ComponentVariable() { Set(m_previous); }
    ComponentVariable(const ComponentVariable&) = delete;
    ComponentVariable& operator=(const ComponentVariable&) = delete;

private:
    static void Set(const std::optional<std::string>& value)
    {
        if (value)
            setenv("TARVEL_COMPONENT", value->c_str(), 1);
        else
            unsetenv("TARVEL_COMPONENT");
        ResetComponentBindingForTesting();
    }

    std::optional<std::string> m_previous;
};

// Any non-null value, to see that a failure clears the caller's pointer.
void* Garbage()
{
    static int marker;
    return &marker;
}

struct Attempt {
    HRESULT hr;
    void* object;
    std::string reason;
};

Attempt Create(const CLSID& clsid, const IID& iid, IUnknown* outer = nullptr)
{
    void* object = Garbage();
    const HRESULT hr = CoCreateInstance(clsid, outer, CLSCTX_INPROC_SERVER, iid, &object);
    return {hr, object, CoLastErrorText()};
}

void ExpectRefused(const Attempt& attempt, const std::string& file, const std::string& cause)
{
    EXPECT_LT(attempt.hr, 0);
    EXPECT_EQ(attempt.object, nullptr);
    EXPECT_NE(attempt.reason.find(file), std::string::npos) << attempt.reason;
    EXPECT_NE(attempt.reason.find(cause), std::string::npos) << attempt.reason;
    EXPECT_EQ(attempt.reason.find('\n'), std::string::npos) << "one line: " << attempt.reason;
}

TEST(CreateInstance, OuterObjectIsRefusedAsAggregation)
{
    FakeComponent fake;
    IUnknown* outer = reinterpret_cast<IUnknown*>(Garbage());
    const Attempt attempt = Create(CLSID_UserRSA, IID_IUserRSA, outer);
    EXPECT_EQ(attempt.hr, CLASS_E_NOAGGREGATION);
    EXPECT_EQ(attempt.object, nullptr);
    EXPECT_EQ(fake.createdObjects(), 0);
}

TEST(CreateInstance, NullResultPointerIsRefused)
{
    FakeComponent fake;
    EXPECT_EQ(CoCreateInstance(CLSID_UserRSA, nullptr, CLSCTX_INPROC_SERVER, IID_IUserRSA, nullptr), E_POINTER);
    EXPECT_EQ(fake.createdObjects(), 0);
}

TEST(CreateInstance, UnknownClassIsRefused)
{
    FakeComponent fake;
    const CLSID unknown = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    const Attempt attempt = Create(unknown, IID_IUnknown);
    EXPECT_LT(attempt.hr, 0);
    EXPECT_EQ(attempt.object, nullptr);
    EXPECT_FALSE(attempt.reason.empty());
}

// The program names the classes it creates; the binding refuses any other
// before the library is asked, and passes every class on while none is named.
TEST(CreateInstance, OnlyTheClassesTheProgramNamesArePassedOn)
{
    const CLSID unknown = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    const CLSID rsaAndDes[] = {CLSID_UserRSA, CLSID_UserDES};
    const struct {
        const char* name;
        std::optional<std::span<const CLSID>> named;
        CLSID clsid;
        IID iid;
        HRESULT hr;
        const char* reason;
    } cases[] = {
        {"none named, unknown class", std::nullopt, unknown, IID_IUnknown, CLASS_E_CLASSNOTAVAILABLE, "class refused"},
        {"none named, served class", std::nullopt, CLSID_HashMD5, IID_IHashMD5, S_OK, ""},
        {"named, one of them", rsaAndDes, CLSID_UserDES, IID_IUserDES, S_OK, ""},
        {"named, another class", rsaAndDes, CLSID_HashSHA1, IID_IHashSHA1, REGDB_E_CLASSNOTREG, "not registered"},
        {"empty list", std::span<const CLSID>(), CLSID_UserRSA, IID_IUserRSA, REGDB_E_CLASSNOTREG, "not registered"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeComponent fake;
        if (c.named)
            ServeClasses(*c.named);
        const Attempt attempt = Create(c.clsid, c.iid);
        EXPECT_EQ(attempt.hr, c.hr);
        EXPECT_NE(attempt.reason.find(c.reason), std::string::npos) << attempt.reason;
        EXPECT_EQ(fake.createdObjects(), c.hr == S_OK ? 1 : 0);
        if (attempt.hr == S_OK)
            static_cast<IUnknown*>(attempt.object)->Release();
    }
}

TEST(CreateInstance, RelativeComponentPathIsRefusedBeforeLoading)
{
    ComponentVariable variable(std::string("lib/test/libtarvel_fake_component.so"));
    EXPECT_EQ(AfxOleInit(), 0);
    ExpectRefused(Create(CLSID_UserRSA, IID_IUserRSA), "lib/test/libtarvel_fake_component.so", "absolute");
}

TEST(CreateInstance, MissingLibraryIsNamed)
{
    TempFolder folder;
    const std::string missing = (folder.Path() / "absent.so").string();
    ComponentVariable variable(missing);
    EXPECT_NE(AfxOleInit(), 0);
    ExpectRefused(Create(CLSID_UserRSA, IID_IUserRSA), missing, "no such file");
}

TEST(CreateInstance, FolderIsNotALibrary)
{
    TempFolder folder;
    ComponentVariable variable(folder.Path().string());
    ExpectRefused(Create(CLSID_UserDES, IID_IUserDES), folder.Path().string(), "not a regular file");
}

TEST(CreateInstance, TextFileIsNotALibrary)
{
    TempFolder folder;
    const std::string text = (folder.Path() / "notes.so").string();
    std::ofstream(text) << "not a shared object\n";
    ComponentVariable variable(text);
    ExpectRefused(Create(CLSID_HashSHA1, IID_IHashSHA1), text, "not a loadable shared library");
}

TEST(CreateInstance, LibraryWithoutEntryPointIsNamed)
{
    ComponentVariable variable(std::string(TARVEL_NO_ENTRY_LIBRARY_PATH));
    ExpectRefused(Create(CLSID_HashMD5, IID_IHashMD5), TARVEL_NO_ENTRY_LIBRARY_PATH, "DllGetClassObject");
}

TEST(CreateInstance, ClassRefusedByTheComponent)
{
    FakeComponent fake;
    fake.refuseClass(CLSID_UserRSA, CLASS_E_CLASSNOTAVAILABLE);
    const Attempt attempt = Create(CLSID_UserRSA, IID_IUserRSA);
    ExpectRefused(attempt, FakeComponent::LibraryPath(), "class refused");
    EXPECT_EQ(attempt.hr, CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(fake.createdObjects(), 0);

    // Other classes are still served.
    ComPtr<IUserDES> des;
    EXPECT_EQ(CoCreateInstance(CLSID_UserDES, nullptr, CLSCTX_INPROC_SERVER, IID_IUserDES, des.Put()), S_OK);
}

TEST(CreateInstance, InterfaceRefusedByTheComponent)
{
    FakeComponent fake;
    const Attempt attempt = Create(CLSID_UserRSA, IID_IUserDES);
    ExpectRefused(attempt, FakeComponent::LibraryPath(), "interface refused");
    EXPECT_EQ(attempt.hr, E_NOINTERFACE);
    EXPECT_EQ(fake.liveObjects(), 0);
}

TEST(CreateInstance, ObjectCreationFailureIsPassedOn)
{
    FakeComponent fake;
    fake.failCreation(CLSID_UserRSA, 2, E_OUTOFMEMORY);
    ComPtr<IUserRSA> first;
    ComPtr<IUserRSA> second;
    ComPtr<IUserRSA> third;
    EXPECT_EQ(CoCreateInstance(CLSID_UserRSA, nullptr, CLSCTX_INPROC_SERVER, IID_IUserRSA, first.Put()), S_OK);
    EXPECT_EQ(CoCreateInstance(CLSID_UserRSA, nullptr, CLSCTX_INPROC_SERVER, IID_IUserRSA, second.Put()),
              E_OUTOFMEMORY);
    EXPECT_FALSE(second);
    EXPECT_NE(CoLastErrorText().find(FakeComponent::LibraryPath()), std::string::npos);
    EXPECT_EQ(CoCreateInstance(CLSID_UserRSA, nullptr, CLSCTX_INPROC_SERVER, IID_IUserRSA, third.Put()), S_OK);
    EXPECT_EQ(fake.createdObjects(), 2);
}

TEST(CreateInstance, ComponentVariableServesEveryClass)
{
    FakeComponent fake;
    EXPECT_NE(AfxOleInit(), 0);
    EXPECT_EQ(ComponentLibraryPath(), FakeComponent::LibraryPath());
    {
        ComPtr<IUserRSA> rsa;
        ComPtr<IUserDES> des;
        ComPtr<IHashSHA1> sha1;
        ComPtr<IHashMD5> md5;
        EXPECT_EQ(CoCreateInstance(CLSID_UserRSA, nullptr, CLSCTX_INPROC_SERVER, IID_IUserRSA, rsa.Put()), S_OK);
        EXPECT_EQ(CoCreateInstance(CLSID_UserDES, nullptr, CLSCTX_INPROC_SERVER, IID_IUserDES, des.Put()), S_OK);
        EXPECT_EQ(CoCreateInstance(CLSID_HashSHA1, nullptr, CLSCTX_INPROC_SERVER, IID_IHashSHA1, sha1.Put()), S_OK);
        EXPECT_EQ(CoCreateInstance(CLSID_HashMD5, nullptr, CLSCTX_INPROC_SERVER, IID_IHashMD5, md5.Put()), S_OK);
        EXPECT_EQ(CoLastErrorText(), "");
        EXPECT_EQ(fake.interfaceOf(1), "IUserRSA");
        EXPECT_EQ(fake.interfaceOf(2), "IUserDES");
        EXPECT_EQ(fake.interfaceOf(3), "IHashSHA1");
        EXPECT_EQ(fake.interfaceOf(4), "IHashMD5");
        EXPECT_EQ(fake.liveObjects(), 4);
    }
    EXPECT_EQ(fake.liveObjects(), 0);
    for (int object = 1; object <= 4; ++object)
        EXPECT_EQ(fake.releasesOf(object), 1) << object;
}

TEST(CreateInstance, SuccessClearsThePreviousReason)
{
    FakeComponent fake;
    EXPECT_LT(Create(CLSID_UserRSA, IID_IUserDES).hr, 0);
    EXPECT_FALSE(CoLastErrorText().empty());
    ComPtr<IUserRSA> rsa;
    EXPECT_EQ(CoCreateInstance(CLSID_UserRSA, nullptr, CLSCTX_INPROC_SERVER, IID_IUserRSA, rsa.Put()), S_OK);
    EXPECT_EQ(CoLastErrorText(), "");
}

TEST(CreateInstance, BundledComponentNextToTheProgram)
{
    ComponentVariable variable(std::nullopt);
    const std::string bundled = ComponentLibraryPath();
    EXPECT_EQ(fs::path(bundled).filename(), "libtarvel_crypto.so");
    EXPECT_EQ(fs::path(bundled).parent_path().filename(), "tarvel");
    if (!fs::exists(bundled))
        GTEST_SKIP() << "the bundled component is not built: " << bundled;

    ComPtr<IHashSHA1> sha1;
    ASSERT_EQ(CoCreateInstance(CLSID_HashSHA1, nullptr, CLSCTX_INPROC_SERVER, IID_IHashSHA1, sha1.Put()), S_OK)
        << CoLastErrorText();
    const std::uint8_t abc[] = {'a', 'b', 'c'};
    std::uint8_t digest[kSha1DigestBytes] = {};
    ASSERT_EQ(sha1->HashData(abc, 3), S_OK);
    ASSERT_EQ(sha1->GetHash(digest), S_OK);
    EXPECT_EQ(digest[0], 0xA9);
    EXPECT_EQ(digest[19], 0x9D);

    ComPtr<IUserRSA> rsa;
    EXPECT_EQ(CoCreateInstance(CLSID_UserRSA, nullptr, CLSCTX_INPROC_SERVER, IID_IUserRSA, rsa.Put()), S_OK);
}

}  // namespace
