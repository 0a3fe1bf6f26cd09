#include "fake_component.h"

#include "runtime/object_binding.h"

#include <dlfcn.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#ifndef TARVEL_FAKE_COMPONENT_PATH
#error "TARVEL_FAKE_COMPONENT_PATH must name the fake component library"
#endif

namespace {

constexpr const char* kComponentVariable = "TARVEL_COMPONENT";

template <class Fn>
void Resolve(void* handle, const char* name, Fn& target)
{
    target = reinterpret_cast<Fn>(dlsym(handle, name));
    if (!target)
        throw std::runtime_error(std::string("fake component lacks ") + name);
}

// Reader of the "<length>:<bytes>" fields of a call record.
class RecordReader {
public:
    explicit RecordReader(std::string_view record) : m_rest(record) {}

    std::string Next()
    {
        const auto colon = m_rest.find(':');
        if (colon == std::string_view::npos)
            throw std::runtime_error("malformed call record");
        std::size_t length = 0;
        const auto [end, error] = std::from_chars(m_rest.data(), m_rest.data() + colon, length);
        if (error != std::errc() || end != m_rest.data() + colon || length > m_rest.size() - colon - 1)
            throw std::runtime_error("malformed call record");
        std::string field(m_rest.substr(colon + 1, length));
        m_rest.remove_prefix(colon + 1 + length);
        return field;
    }

    int NextInt() { return std::stoi(Next()); }

    std::vector<std::pair<std::string, std::string>> NextFields()
    {
        const int count = NextInt();
        std::vector<std::pair<std::string, std::string>> fields;
        for (int i = 0; i < count; ++i) {
            std::string name = Next();
            fields.emplace_back(std::move(name), Next());
        }
        return fields;
    }

private:
    std::string_view m_rest;
};

std::string Lookup(const std::vector<std::pair<std::string, std::string>>& fields, std::string_view name)
{
    for (const auto& [key, value] : fields)
        if (key == name)
            return value;
    return {};
}

template <class Fetch>
std::string FetchText(Fetch fetch)
{
    const std::size_t length = fetch(nullptr, 0);
    std::string text(length + 1, '\0');
    fetch(text.data(), text.size());
    text.resize(length);
    return text;
}

}  // namespace

std::string FakeCall::arg(std::string_view name) const
{
    return Lookup(args, name);
}

std::string FakeCall::out(std::string_view name) const
{
    return Lookup(outs, name);
}

bool FakeCall::hasArg(std::string_view name) const
{
    for (const auto& field : args)
        if (field.first == name)
            return true;
    return false;
}

std::string FakeCall::text() const
{
    std::string line = std::to_string(object) + " " + method;
    for (const auto& [name, value] : args)
        line += " " + name + "=" + value;
    if (!outs.empty()) {
        line += " ->";
        for (const auto& [name, value] : outs)
            line += " " + name + "=" + value;
    }
    if (result != S_OK) {
        char status[16];
        std::snprintf(status, sizeof status, "0x%08X", static_cast<unsigned>(result));
        line += std::string(" = ") + status;
    }
    return line;
}

void FakeComponent::LibraryCloser::operator()(void* handle) const
{
    dlclose(handle);
}

FakeComponent::FakeComponent()
{
    if (const char* previous = std::getenv(kComponentVariable))
        m_previousComponent = previous;
    setenv(kComponentVariable, TARVEL_FAKE_COMPONENT_PATH, 1);
    ResetComponentBindingForTesting();

    // The same path yields the same handle as the one CoCreateInstance opens,
    // so these functions see the objects the code under test creates.
    m_library.reset(dlopen(TARVEL_FAKE_COMPONENT_PATH, RTLD_NOW | RTLD_LOCAL));
    if (!m_library) {
        const char* why = dlerror();
        throw std::runtime_error(std::string("cannot load the fake component: ") + (why ? why : "unknown"));
    }
    void* handle = m_library.get();
#define TARVEL_FAKE_CONTROL_BIND(member, symbol) Resolve(handle, #symbol, m_api.member);
    TARVEL_FAKE_CONTROL_FUNCTIONS(TARVEL_FAKE_CONTROL_BIND)
#undef TARVEL_FAKE_CONTROL_BIND
    m_api.reset();
}

FakeComponent::~FakeComponent()
{
    if (m_previousComponent)
        setenv(kComponentVariable, m_previousComponent->c_str(), 1);
    else
        unsetenv(kComponentVariable);
    ResetComponentBindingForTesting();
}

FakeCall FakeComponent::NthCall(const std::vector<FakeCall>& calls, std::string_view method, int nth)
{
    for (const FakeCall& call : calls)
        if (call.method == method && nth-- == 0)
            return call;
    return {};
}

std::string FakeComponent::LibraryPath()
{
    return TARVEL_FAKE_COMPONENT_PATH;
}

void FakeComponent::reset()
{
    m_api.reset();
}

std::vector<FakeCall> FakeComponent::calls() const
{
    std::vector<FakeCall> result;
    const int count = m_api.callCount();
    for (int i = 0; i < count; ++i) {
        const std::string record =
            FetchText([&](char* buffer, std::size_t capacity) { return m_api.callRecord(i, buffer, capacity); });
        RecordReader reader(record);
        FakeCall call;
        call.object = reader.NextInt();
        call.result = static_cast<HRESULT>(reader.NextInt());
        call.method = reader.Next();
        call.args = reader.NextFields();
        call.outs = reader.NextFields();
        result.push_back(std::move(call));
    }
    return result;
}

std::vector<FakeCall> FakeComponent::callsOf(int object) const
{
    std::vector<FakeCall> result;
    for (auto& call : calls())
        if (call.object == object)
            result.push_back(std::move(call));
    return result;
}

std::vector<std::string> FakeComponent::methods(int object) const
{
    std::vector<std::string> result;
    for (auto& call : calls())
        if (object == 0 || call.object == object)
            result.push_back(std::move(call.method));
    return result;
}

std::vector<std::string> FakeComponent::callTexts() const
{
    std::vector<std::string> result;
    for (const auto& call : calls())
        result.push_back(call.text());
    return result;
}

void FakeComponent::failCreation(const CLSID& clsid, int nth, HRESULT hr)
{
    m_api.failCreation(&clsid, nth, hr);
}

void FakeComponent::refuseClass(const CLSID& clsid, HRESULT hr)
{
    m_api.refuseClass(&clsid, hr);
}

void FakeComponent::failMethod(std::string_view method, HRESULT hr, int nth, int object)
{
    m_api.failMethod(std::string(method).c_str(), hr, object, nth);
}

void FakeComponent::setReportedCount(std::string_view method, std::uint32_t count)
{
    m_api.setReportedCount(std::string(method).c_str(), count);
}

void FakeComponent::setWriteFiles(bool enabled)
{
    m_api.setWriteFiles(enabled ? 1 : 0);
}

int FakeComponent::liveObjects() const
{
    return m_api.liveObjects();
}

int FakeComponent::createdObjects() const
{
    return m_api.createdObjects();
}

int FakeComponent::releasesOf(int object) const
{
    return m_api.releasesOf(object);
}

int FakeComponent::callsAfterRelease() const
{
    return m_api.callsAfterRelease();
}

std::string FakeComponent::interfaceOf(int object) const
{
    return FetchText(
        [&](char* buffer, std::size_t capacity) { return m_api.objectInterface(object, buffer, capacity); });
}

std::vector<std::uint32_t> FakeComponent::KeyNumber(int part, std::uint32_t keyWords)
{
    std::vector<std::uint32_t> words(FakeKeyWords(part, keyWords));
    for (std::uint32_t i = 0; i < words.size(); ++i)
        words[i] = FakeKeyWord(part, keyWords, i);
    return words;
}

std::vector<std::uint8_t> FakeComponent::Digest(const std::uint8_t* data, std::uint32_t bytes,
                                                std::uint32_t digestBytes)
{
    const std::uint32_t checksum = FakeChecksum(data, data ? bytes : 0);
    std::vector<std::uint8_t> digest(digestBytes);
    for (std::uint32_t i = 0; i < digestBytes; ++i)
        digest[i] = FakeDigestByte(i, bytes, checksum);
    return digest;
}

std::vector<std::uint32_t> FakeComponent::ParseWords(std::string_view text)
{
    std::vector<std::uint32_t> words;
    if (text.empty() || text == "null" || text == "unread")
        return words;
    while (true) {
        const auto comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        std::uint32_t word = 0;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), word, 16);
        if (error != std::errc() || end != item.data() + item.size())
            throw std::invalid_argument("not a word list: " + std::string(text));
        words.push_back(word);
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    return words;
}

std::string FakeComponent::FormatWords(const std::vector<std::uint32_t>& words)
{
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        char word[10];
        std::snprintf(word, sizeof word, "%s%08x", i ? "," : "", words[i]);
        text += word;
    }
    return text;
}
