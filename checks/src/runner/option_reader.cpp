#include "runner/option_reader.h"

#include <cstdlib>

namespace checks::runner {

bool OptionReader::Next()
{
    if (++m_at >= m_argc)
        return false;
    m_word = m_argv[m_at];
    m_inlineValue.reset();
    if (m_word.rfind("--", 0) == 0) {
        if (const auto eq = m_word.find('='); eq != std::string::npos) {
            m_inlineValue = m_word.substr(eq + 1);
            m_word.erase(eq);
        }
    }
    return true;
}

std::optional<std::string> OptionReader::Value(std::string& error, bool emptyAllowed)
{
    std::optional<std::string> value = m_inlineValue;
    if (!value && m_at + 1 < m_argc)
        value = m_argv[++m_at];
    if (!value || (value->empty() && !emptyAllowed)) {
        error = m_word + " needs a value";
        return std::nullopt;
    }
    return value;
}

bool OptionReader::NoValue(std::string& error) const
{
    if (!m_inlineValue)
        return true;
    error = m_word + " takes no value";
    return false;
}

std::optional<double> ParseSeconds(const std::string& name, const std::string& text, std::string& error)
{
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !(seconds > 0) || seconds > 86400) {
        error = name + " must be a number of seconds above 0, not '" + text + "'";
        return std::nullopt;
    }
    return seconds;
}

}  // namespace checks::runner
