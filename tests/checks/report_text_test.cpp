// Text from a component, a path or a file on its way into a report: what the
// terminal, a UTF-8 document and an XML document each get of the same bytes,
// and when the console paints its verdicts.
#include "runner/console_style.h"
#include "runner/utf8_text.h"
#include "runner/xml_text.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>

namespace {

TEST(ReportText, OnlyWellFormedUtf8IsTakenAsACharacter)
{
    const struct {
        std::string bytes;
        std::size_t length;
        char32_t codePoint;  // when length > 0
    } cases[] = {
        {"A", 1, U'A'},
        {std::string(1, '\0'), 1, 0},
        {"\xc3\xa9", 2, 0xE9},
        {"\xef\xbf\xbf", 3, 0xFFFF},
        {"\xf0\x9f\x98\x80", 4, 0x1F600},
        {"\xf4\x8f\xbf\xbf", 4, 0x10FFFF},
        // Overlong forms, surrogates, beyond U+10FFFF, a lone continuation,
        // a sequence cut short or broken.
        {"\xc0\x80", 0, 0},
        {"\xc1\xbf", 0, 0},
        {"\xe0\x80\x80", 0, 0},
        {"\xf0\x80\x80\x80", 0, 0},
        {"\xed\xa0\x80", 0, 0},
        {"\xf4\x90\x80\x80", 0, 0},
        {"\xf5\x80\x80\x80", 0, 0},
        {"\xff", 0, 0},
        {"\x80", 0, 0},
        {"\xe2\x82", 0, 0},
        {"\xe2\x28\xa1", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.bytes));
        char32_t codePoint = 0x7777;
        EXPECT_EQ(checks::Utf8SequenceAt(c.bytes, 0, codePoint), c.length);
        if (c.length) {
            EXPECT_EQ(codePoint, c.codePoint);
        }
    }
}

TEST(ReportText, EachReportGetsTheSameBytesInAFormItCanCarry)
{
    const struct {
        std::string bytes;
        std::string utf8, terminal, xml, attribute;
    } cases[] = {
        {"plain \xe2\x82\xac", "plain \xe2\x82\xac", "plain \xe2\x82\xac", "plain \xe2\x82\xac", "plain \xe2\x82\xac"},
        {"a\tb\nc", "a\tb\nc", "a\tb\nc", "a\tb\nc", "a&#9;b&#10;c"},
        {"\r", "\r", "\\x0d", "&#13;", "&#13;"},
        // A colour change and a cursor move stay text on a terminal.
        {"\x1b[31mred\x1b[2J", "\x1b[31mred\x1b[2J", "\\x1b[31mred\\x1b[2J", "\\x1b[31mred\\x1b[2J",
         "\\x1b[31mred\\x1b[2J"},
        {"\x7f", "\x7f", "\\x7f", "\x7f", "\x7f"},
        // U+009B, the one-character CSI, and U+0085.
        {"\xc2\x9b"
         "31m",
         "\xc2\x9b"
         "31m",
         "\\xc2\\x9b31m",
         "\xc2\x9b"
         "31m",
         "\xc2\x9b"
         "31m"},
        {"\xc2\x85", "\xc2\x85", "\\xc2\\x85", "\xc2\x85", "\xc2\x85"},
        {"\xc2\xa0", "\xc2\xa0", "\xc2\xa0", "\xc2\xa0", "\xc2\xa0"},
        {std::string("a\0b", 3), std::string("a\0b", 3), "a\\x00b", "a\\x00b", "a\\x00b"},
        {"<&>\"'", "<&>\"'", "<&>\"'", "&lt;&amp;&gt;&quot;&apos;", "&lt;&amp;&gt;&quot;&apos;"},
        {"\xff\xfe", "\\xff\\xfe", "\\xff\\xfe", "\\xff\\xfe", "\\xff\\xfe"},
        {"\xed\xa0\x80", "\\xed\\xa0\\x80", "\\xed\\xa0\\x80", "\\xed\\xa0\\x80", "\\xed\\xa0\\x80"},
        // XML 1.0 cannot carry U+FFFE even as a reference.
        {"\xef\xbf\xbe", "\xef\xbf\xbe", "\xef\xbf\xbe", "\\xef\\xbf\\xbe", "\\xef\\xbf\\xbe"},
        {"\xc3\xa9t\xc3", "\xc3\xa9t\\xc3", "\xc3\xa9t\\xc3", "\xc3\xa9t\\xc3", "\xc3\xa9t\\xc3"},
        // The text "\x41" a component wrote is kept as it came.
        {"\\x41", "\\x41", "\\x41", "\\x41", "\\x41"},
        {"", "", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.bytes));
        EXPECT_EQ(checks::ValidUtf8(c.bytes), c.utf8);
        EXPECT_EQ(checks::TerminalText(c.bytes), c.terminal);
        EXPECT_EQ(checks::XmlText(c.bytes), c.xml);
        EXPECT_EQ(checks::XmlAttribute(c.bytes), c.attribute);
    }
    EXPECT_EQ(checks::ShownByte(0), "\\x00");
    EXPECT_EQ(checks::ShownByte(0xAB), "\\xab");
}

// An environment variable set or unset for one case, and put back after.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : m_name(name)
    {
        if (const char* before = std::getenv(name))
            m_before = before;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedVariable()
    {
        if (m_before)
            setenv(m_name, m_before->c_str(), 1);
        else
            unsetenv(m_name);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_before;
};

// A descriptor closed when the test is done with it.
struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            close(fd);
    }
};

TEST(ConsoleStyle, ColourOnATerminalThatWantsItOrWhenAsked)
{
    Descriptor terminal;
    terminal.fd = posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal.fd < 0 || grantpt(terminal.fd) != 0 || unlockpt(terminal.fd) != 0)
        GTEST_SKIP() << "no pseudo-terminal here";
    Descriptor side;
    side.fd = open(ptsname(terminal.fd), O_RDWR | O_NOCTTY);
    ASSERT_GE(side.fd, 0);
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    Descriptor readEnd{pipeEnds[0]}, writeEnd{pipeEnds[1]};

    using Colour = checks::runner::RunSettings::Colour;
    const struct {
        Colour colour;
        bool onTerminal;
        const char* noColour;  // nullptr: unset
        const char* term;
        bool coloured;
    } cases[] = {
        {Colour::Auto, true, nullptr, "xterm-256color", true},
        {Colour::Auto, true, "", "xterm", true},  // set but empty counts as unset
        {Colour::Auto, true, "1", "xterm", false},
        {Colour::Auto, true, "0", "xterm", false},  // any value means no colour
        {Colour::Auto, true, nullptr, "dumb", false},
        {Colour::Auto, true, nullptr, nullptr, true},
        {Colour::Auto, false, nullptr, "xterm", false},
        {Colour::Always, false, "1", "dumb", true},
        {Colour::Never, true, nullptr, "xterm", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.colour)) + (c.onTerminal ? " terminal" : " pipe") +
                     " NO_COLOR=" + (c.noColour ? c.noColour : "(unset)") + " TERM=" + (c.term ? c.term : "(unset)"));
        const ScopedVariable noColour("NO_COLOR", c.noColour), term("TERM", c.term);
        EXPECT_EQ(checks::runner::UseColour(c.colour, c.onTerminal ? side.fd : writeEnd.fd), c.coloured);
    }
    EXPECT_EQ(checks::runner::TerminalColumns(writeEnd.fd), 80u) << "a pipe has no width";
}

TEST(ConsoleStyle, TheProgressLineSaysWhatRunsAndHowLongIsLeft)
{
    const struct {
        std::size_t done, total;
        std::vector<std::string> running;
        double secondsLeft;
        std::size_t width;
        const char* line;
    } cases[] = {
        {0, 48, {}, 0, 80, "[0/48] starting \xc2\xb7 about 0 s left"},
        {3, 48, {"load.library"}, 20.2, 80, "[3/48] load.library \xc2\xb7 about 21 s left"},
        {3, 48, {"a.b", "c.d"}, 59.5, 80, "[3/48] a.b, c.d \xc2\xb7 about 1 min 0 s left"},
        {47, 48, {"rsa.keys.256"}, 3600, 80, "[47/48] rsa.keys.256 \xc2\xb7 about 60 min 0 s left"},
        // The names give way to the estimate, never the other way round.
        {1,
         9,
         {"differential.rsa.exponents", "vectors.sha1.4gib"},
         5,
         40,
         "[1/9] differential.... \xc2\xb7 about 5 s left"},
        {1, 9, {"differential.rsa.exponents"}, 5, 10, "[1/9] different... \xc2\xb7 about 5 s left"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(checks::runner::ProgressText(c.done, c.total, c.running, c.secondsLeft, c.width), c.line);
    }
}

}  // namespace
