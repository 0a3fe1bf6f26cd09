#include "runner/memcheck_xml.h"

#include <expat.h>

#include <cstdlib>
#include <map>
#include <memory>

namespace checks::runner {
namespace {

// Follows the element path; only the few elements a verdict needs are kept.
class MemcheckReader {
public:
    std::vector<MemcheckError> errors;

    void Start(std::string_view name)
    {
        m_path.emplace_back(name);
        m_text.clear();
        if (name == "error" && Depth() == 2) {
            m_error = MemcheckError();
            m_stacks = 0;
        } else if (name == "frame" && InErrorStack()) {
            (m_stacks == 0 ? m_error.stack : m_error.auxStack).emplace_back();
        }
    }

    void End()
    {
        const std::string name = m_path.back();
        const std::string parent = m_path.size() > 1 ? m_path[m_path.size() - 2] : std::string();
        if (InError()) {
            if (parent == "error" && name == "kind")
                m_error.kind = m_text;
            else if (parent == "error" && name == "what")
                m_error.what = m_text;
            else if (parent == "error" && name == "tid")
                m_error.thread = std::atoi(m_text.c_str());
            else if (parent == "xwhat" && name == "text" && m_error.what.empty())
                m_error.what = m_text;
            else if (parent == "error" && name == "auxwhat" && m_error.auxWhat.empty())
                m_error.auxWhat = m_text;
            else if (parent == "error" && name == "stack")
                ++m_stacks;
            else if (parent == "frame" && InErrorStack())
                Keep(name);
        }
        if (parent == "clientmsg" && name == "tid")
            m_messageThread = std::atoi(m_text.c_str());
        else if (parent == "clientmsg" && name == "text")
            m_lastMessage[m_messageThread] = Trimmed(m_text);
        if (name == "error" && m_path.size() == 2) {
            m_error.lastClientMessage = m_lastMessage[m_error.thread];
            errors.push_back(std::move(m_error));
        }
        m_path.pop_back();
        m_text.clear();
    }

    void Text(std::string_view text) { m_text += text; }

private:
    std::size_t Depth() const { return m_path.size(); }
    bool InError() const { return m_path.size() >= 2 && m_path[1] == "error"; }
    // Frames of the error's first stack and of the one after auxwhat.
    bool InErrorStack() const
    {
        return m_stacks < 2 && m_path.size() >= 4 && m_path[1] == "error" && m_path[2] == "stack";
    }

    void Keep(const std::string& field)
    {
        MemcheckFrame& frame = (m_stacks == 0 ? m_error.stack : m_error.auxStack).back();
        if (field == "obj")
            frame.obj = m_text;
        else if (field == "fn")
            frame.fn = m_text;
        else if (field == "file")
            frame.file = m_text;
        else if (field == "line")
            frame.line = std::atoi(m_text.c_str());
    }

    static std::string Trimmed(std::string text)
    {
        while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
            text.pop_back();
        return text;
    }

    std::vector<std::string> m_path;
    std::string m_text;
    MemcheckError m_error;
    int m_stacks = 0;
    int m_messageThread = 0;
    std::map<int, std::string> m_lastMessage;
};

struct ParserDeleter {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

}  // namespace

std::vector<MemcheckError> ParseMemcheckXml(std::string_view xml)
{
    MemcheckReader reader;
    std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(XML_ParserCreate("UTF-8"));
    if (!parser)
        return {};
    XML_SetUserData(parser.get(), &reader);
    XML_SetElementHandler(
        parser.get(),
        [](void* data, const XML_Char* name, const XML_Char**) { static_cast<MemcheckReader*>(data)->Start(name); },
        [](void* data, const XML_Char*) { static_cast<MemcheckReader*>(data)->End(); });
    XML_SetCharacterDataHandler(parser.get(), [](void* data, const XML_Char* text, int length) {
        static_cast<MemcheckReader*>(data)->Text(std::string_view(text, static_cast<std::size_t>(length)));
    });
    // A document cut short ends in a parse error; what was read before stands.
    while (!xml.empty()) {
        const std::size_t piece = std::min<std::size_t>(xml.size(), 1 << 20);
        if (XML_Parse(parser.get(), xml.data(), static_cast<int>(piece), piece == xml.size()) == XML_STATUS_ERROR)
            break;
        xml.remove_prefix(piece);
    }
    return std::move(reader.errors);
}

}  // namespace checks::runner
