// FakeComponent: puts the fake crypto component in place for one test and
// gives typed access to what it recorded and to its failure switches.
//
//   FakeComponent fake;                       // TARVEL_COMPONENT -> the fake, state reset
//   fake.failCreation(CLSID_UserRSA, 2);      // the second RSA creation fails
//   fake.failMethod("Encrypt", E_FAIL);       // every Encrypt fails
//   fake.setReportedCount("GetBase", 3);      // GetBase behaves as if the base had 3 words
//   ... run the code under test ...
//   EXPECT_EQ(fake.methods(1), (std::vector<std::string>{"GenerateKey", "GetKeyLength"}));
//   auto calls = fake.callsOf(1);
//   EXPECT_EQ(calls[0].arg("userId"), "Testing");
//   EXPECT_EQ(fake.liveObjects(), 0);
//   EXPECT_EQ(fake.releasesOf(1), 1);
//
// Objects are numbered 1, 2, 3... in order of creation since construction (or
// reset()), across all classes. The fake's behaviour and the values it hands
// out are described in fake_component_control.h; the helpers below predict
// them (FakeComponent::KeyNumber, FakeComponent::Digest).
//
// Recorded arguments and outputs, by method (values are text):
//   GenerateKey      args userId, keyWords
//   GetKeyLength     outs words
//   Encrypt/Decrypt  args in (words), inWords, capacity (or "null");
//                    outs outWords, out (words written)
//   Get<Number>      args words ("null" or "buffer"), count (capacity, only with
//                    a buffer); outs words (with a buffer), count
//   Set<Number>      args words, count
//   GetUserId/GetCode args text ("null"/"buffer"), length; outs text, length
//   SetUserId/SetCode args text (exactly length bytes), length
//   Save*File, LoadAsyFile  args path
//   Clear, QueryInterface (args iid), AddRef
//   DES SetKey       args key;  Encrypt/Decrypt args block, outs block;  GetKey outs key
//   HashData         args bytes, data (first 64 bytes as hex), checksum
//   GetHash          outs digest (hex);  GetHashSize outs bytes
// Words are written as lowercase 8-digit hex, least significant word first,
// joined by ','; FakeComponent::ParseWords turns them back into numbers.
// A failing call is recorded with the failing status as its result and without
// outputs.
#pragma once

#include "fake_component_control.h"

#include <tarvel/com.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct FakeCall {
    int object = 0;
    std::string method;
    std::vector<std::pair<std::string, std::string>> args;
    std::vector<std::pair<std::string, std::string>> outs;
    HRESULT result = S_OK;

    // Value of the named argument or output; "" when there is none.
    std::string arg(std::string_view name) const;
    std::string out(std::string_view name) const;
    bool hasArg(std::string_view name) const;
    // One readable line, e.g. "2 SetBase words=0000000a,8000000b count=2",
    // outputs after "->" and a failing result at the end ("= 0x80004005").
    std::string text() const;
};

// The control functions the fake exports, as (member, symbol): one list that
// both declares the bound pointers and binds them at load.
#define TARVEL_FAKE_CONTROL_FUNCTIONS(X)                                                                               \
    X(reset, fake_reset)                                                                                               \
    X(callCount, fake_call_count)                                                                                      \
    X(callRecord, fake_call_record)                                                                                    \
    X(failCreation, fake_fail_creation)                                                                                \
    X(refuseClass, fake_refuse_class)                                                                                  \
    X(failMethod, fake_fail_method)                                                                                    \
    X(setReportedCount, fake_set_reported_count)                                                                       \
    X(setWriteFiles, fake_set_write_files)                                                                             \
    X(liveObjects, fake_live_objects)                                                                                  \
    X(createdObjects, fake_created_objects)                                                                            \
    X(releasesOf, fake_releases_of)                                                                                    \
    X(callsAfterRelease, fake_calls_after_release)                                                                     \
    X(objectInterface, fake_object_interface)

class FakeComponent {
public:
    // Points TARVEL_COMPONENT at the fake, drops the cached binding, loads the
    // fake and resets its state. Throws std::runtime_error when the fake cannot
    // be loaded.
    FakeComponent();
    // Restores TARVEL_COMPONENT and drops the binding again.
    ~FakeComponent();
    FakeComponent(const FakeComponent&) = delete;
    FakeComponent& operator=(const FakeComponent&) = delete;

    // Absolute path of the fake component library.
    static std::string LibraryPath();

    // Forgets calls, switches and released objects; numbering restarts at 1.
    void reset();

    std::vector<FakeCall> calls() const;
    std::vector<FakeCall> callsOf(int object) const;
    // The nth call (0: the first) of method among calls; an empty call when
    // there is none.
    static FakeCall NthCall(const std::vector<FakeCall>& calls, std::string_view method, int nth = 0);
    // Method names in call order; object 0 means every object.
    std::vector<std::string> methods(int object = 0) const;
    // The calls as text() lines; handy in failure messages.
    std::vector<std::string> callTexts() const;

    // The nth CreateInstance of the class from now on fails (1 = the next one);
    // nth 0: every one.
    void failCreation(const CLSID& clsid, int nth = 0, HRESULT hr = E_FAIL);
    // DllGetClassObject refuses the class.
    void refuseClass(const CLSID& clsid, HRESULT hr = CLASS_E_CLASSNOTAVAILABLE);
    // The named method fails with hr and has no effect. nth counts matching
    // calls from now on (0 = every call); object 0 matches every object.
    void failMethod(std::string_view method, HRESULT hr = E_FAIL, int nth = 0, int object = 0);
    // See fake_set_reported_count in fake_component_control.h.
    void setReportedCount(std::string_view method, std::uint32_t count);
    // Save*File write a one-line marker file instead of nothing.
    void setWriteFiles(bool enabled);

    int liveObjects() const;
    int createdObjects() const;
    int releasesOf(int object) const;
    int callsAfterRelease() const;
    // "IUserRSA", "IUserDES", "IHashSHA1", "IHashMD5", or "" for no such object.
    std::string interfaceOf(int object) const;

    // Number part (1 = base, 2 = public key, 3 = private key, 4-8) as the fake's
    // GenerateKey(…, keyWords) makes it.
    static std::vector<std::uint32_t> KeyNumber(int part, std::uint32_t keyWords);
    // What the fake's GetHash writes after HashData(data, bytes).
    static std::vector<std::uint8_t> Digest(const std::uint8_t* data, std::uint32_t bytes, std::uint32_t digestBytes);
    // "0000000a,8000000b" <-> {0xa, 0x8000000b}.
    static std::vector<std::uint32_t> ParseWords(std::string_view text);
    static std::string FormatWords(const std::vector<std::uint32_t>& words);

private:
    struct LibraryCloser {
        void operator()(void* handle) const;
    };
    struct Api {
#define TARVEL_FAKE_CONTROL_POINTER(member, symbol) decltype(&symbol) member = nullptr;
        TARVEL_FAKE_CONTROL_FUNCTIONS(TARVEL_FAKE_CONTROL_POINTER)
#undef TARVEL_FAKE_CONTROL_POINTER
    };

    std::optional<std::string> m_previousComponent;
    std::unique_ptr<void, LibraryCloser> m_library;
    Api m_api;
};
