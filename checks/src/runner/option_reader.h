// The command-line mechanics tarvel-check and "tarvel-check bench" share:
// "--name value", "--name=value" and flags, refused alike in the same words.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace checks::runner {

class OptionReader {
public:
    // Reads argv[1..argc-1]; argv[0] is the program or the word "bench".
    OptionReader(int argc, char** argv) : m_argc(argc), m_argv(argv) {}

    // Moves to the next word; false at the end.
    bool Next();
    // The word, without an "=value" an option carried.
    const std::string& Word() const { return m_word; }
    bool IsOption() const { return !m_word.empty() && m_word[0] == '-'; }

    // The value of an option that takes one: what followed '=', else the next
    // word. Without one, or with an empty one unless emptyAllowed, nullopt
    // and error "--name needs a value".
    std::optional<std::string> Value(std::string& error, bool emptyAllowed = false);
    // For a flag: false and error "--name takes no value" when one was given.
    bool NoValue(std::string& error) const;

private:
    int m_argc;
    char** m_argv;
    int m_at = 0;
    std::string m_word;
    std::optional<std::string> m_inlineValue;
};

// The entry of table (pairs of an option's name and what it sets) for name,
// or null.
template <class Entry, std::size_t N>
const Entry* FindOption(const Entry (&table)[N], const std::string& name)
{
    for (const Entry& entry : table)
        if (name == entry.first)
            return &entry;
    return nullptr;
}

// A number of seconds above 0 and at most a day, as --timeout and --seconds
// take it; nullopt and error "--name must be a number of seconds above 0,
// not 'text'" otherwise.
std::optional<double> ParseSeconds(const std::string& name, const std::string& text, std::string& error);

}  // namespace checks::runner
