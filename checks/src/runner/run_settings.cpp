#include "runner/run_settings.h"

#include "runner/option_reader.h"
#include "runner/report_file.h"
#include "runner/report_formats.h"

#include <fnmatch.h>

#include <cerrno>
#include <cstdlib>
#include <utility>
#include <string_view>

namespace checks::runner {
namespace {

// Each level with its name, for reading and printing alike.
constexpr std::pair<Level, const char*> kLevelNames[] = {
    {Level::Quick, "quick"}, {Level::Standard, "standard"}, {Level::Thorough, "thorough"}};

std::optional<Level> ParseLevel(std::string_view text)
{
    for (const auto& [level, name] : kLevelNames)
        if (text == name)
            return level;
    return std::nullopt;
}

std::optional<std::uint64_t> ParseSeed(const std::string& text)
{
    // Decimal, or hexadecimal after 0x; "010" is ten, not strtoull's octal
    // eight, and no sign or blank is taken.
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos)
        return std::nullopt;
    errno = 0;
    const unsigned long long value = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
    if (errno != 0)
        return std::nullopt;
    return value;
}

// The options whose value is kept as typed.
const std::pair<const char*, std::optional<std::string> RunSettings::*> kTexts[] = {
    {"--component", &RunSettings::component},
    {"--vectors", &RunSettings::vectorsDir},
    {"--explain", &RunSettings::explain},
    {"--expect-fail", &RunSettings::expectFailPath},
    {"--artifacts", &RunSettings::artifactsDir}};

std::optional<unsigned> ParseCount(const std::string& text, unsigned most)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 6)
        return std::nullopt;
    const unsigned long value = std::stoul(text);
    if (value < 1 || value > most)
        return std::nullopt;
    return static_cast<unsigned>(value);
}

// One option's value into settings; false with error set when it is wrong.
bool ReadValue(RunSettings& settings, const std::string& arg, const std::string& text, bool isReport,
               std::string& error)
{
    if (isReport) {
        settings.reports.emplace_back(arg.substr(2), text);
    } else if (const auto* kept = FindOption(kTexts, arg)) {
        settings.*(kept->second) = text;
    } else if (arg == "--only" || arg == "--skip") {
        (arg == "--only" ? settings.only : settings.skip).push_back(text);
    } else if (arg == "--timeout") {
        const auto seconds = ParseSeconds(arg, text, error);
        if (!seconds)
            return false;
        settings.timeoutSeconds = *seconds;
    } else if (arg == "--level") {
        const auto level = ParseLevel(text);
        if (!level) {
            error = "--level must be quick, standard or thorough, not '" + text + "'";
            return false;
        }
        settings.level = *level;
    } else if (arg == "--jobs") {
        const auto jobs = ParseCount(text, 256);
        if (!jobs) {
            error = "--jobs must be a whole number from 1 to 256, not '" + text + "'";
            return false;
        }
        settings.jobs = *jobs;
    } else if (arg == "--shard") {
        const std::size_t slash = text.find('/');
        const auto index = ParseCount(text.substr(0, slash), 100000);
        const auto count = slash == std::string::npos ? std::nullopt : ParseCount(text.substr(slash + 1), 100000);
        if (!index || !count || *index > *count) {
            error = "--shard must be K/N with 1 <= K <= N (\"2/4\": the second of four parts), not '" + text + "'";
            return false;
        }
        settings.shardIndex = *index;
        settings.shardCount = *count;
    } else if (arg == "--color") {
        static const std::pair<const char*, RunSettings::Colour> kColours[] = {{"auto", RunSettings::Colour::Auto},
                                                                               {"always", RunSettings::Colour::Always},
                                                                               {"never", RunSettings::Colour::Never}};
        const auto* colour = FindOption(kColours, text);
        if (!colour) {
            error = "--color must be auto, always or never, not '" + text + "'";
            return false;
        }
        settings.colour = colour->second;
    } else {
        const auto seed = ParseSeed(text);
        if (!seed) {
            error = "--seed must be a number from 0 to 18446744073709551615, not '" + text + "'";
            return false;
        }
        settings.seed = *seed;
        settings.seedGiven = true;
    }
    return true;
}

}  // namespace

const char* LevelName(Level level)
{
    for (const auto& [known, name] : kLevelNames)
        if (known == level)
            return name;
    return "standard";
}

std::optional<RunSettings> ParseCommandLine(int argc, char** argv, std::string& error)
{
    static const char* const kValued[] = {"--level",   "--seed", "--only",  "--skip",
                                          "--timeout", "--jobs", "--shard", "--color"};
    RunSettings settings;
    OptionReader args(argc, argv);
    while (args.Next()) {
        const std::string& arg = args.Word();
        const auto* format = arg.size() > 2 && arg[0] == '-' && arg[1] == '-'
                                 ? FindFormat(CheckReportFormats(), arg.substr(2))
                                 : nullptr;
        bool valued = FindOption(kTexts, arg) || format;
        for (const char* name : kValued)
            valued |= arg == name;
        if (arg == "--memcheck") {
            if (!args.NoValue(error))
                return std::nullopt;
            settings.memcheck = true;
        } else if (arg == "-h" || arg == "--help" || arg == "--list" || arg == "-q" || arg == "--quiet" ||
                   arg == "--version") {
            if (!args.NoValue(error))
                return std::nullopt;
            settings.help |= arg == "-h" || arg == "--help";
            settings.version |= arg == "--version";
            settings.list |= arg == "--list";
            settings.quiet |= arg == "-q" || arg == "--quiet";
        } else if (valued) {
            // An empty --only or --skip matches nothing; it is not a missing value.
            const auto text = args.Value(error, arg == "--only" || arg == "--skip");
            if (!text)
                return std::nullopt;
            if (!ReadValue(settings, arg, *text, format != nullptr, error))
                return std::nullopt;
        } else if (args.IsOption()) {
            error = "unknown option " + arg;
            return std::nullopt;
        } else {
            settings.suites.push_back(arg);
        }
    }
    // One would silently replace the other.
    for (std::size_t i = 0; i < settings.reports.size(); ++i)
        for (std::size_t j = i + 1; j < settings.reports.size(); ++j)
            if (SameFile(settings.reports[i].second, settings.reports[j].second)) {
                error = "--" + settings.reports[i].first + " and --" + settings.reports[j].first +
                        " name the same file (" + settings.reports[j].second + "); give each report its own";
                return std::nullopt;
            }
    return settings;
}

std::string UsageText(const std::vector<std::string>& suiteLines)
{
    std::string text = "Usage: tarvel-check [OPTION]... [SUITE]...\n"
                       "   or: tarvel-check bench [OPTION]...   (times the component; see bench --help)\n"
                       "   or: tarvel-check replay BUNDLE [--in-process]   (see replay --help)\n"
                       "Checks a crypto component against its binary contract and known answers.\n"
                       "Every check runs in a child process under a time limit, so a component that\n"
                       "crashes or hangs fails that check and the run goes on.\n"
                       "\n"
                       "Options:\n"
                       "  --component PATH  the component library to check; without it the library\n"
                       "                    named by TARVEL_COMPONENT (an absolute path), else the\n"
                       "                    bundled component, as the programs choose\n"
                       "  --level LEVEL     quick, standard (default) or thorough; where the contract\n"
                       "                    leaves a choice to the component, a difference from the\n"
                       "                    bundled component's choice is a note below thorough and\n"
                       "                    a failure at thorough\n"
                       "  --seed N          seed of the random inputs (default 1); a failure prints\n"
                       "                    the seed that replays it\n"
                       "  --only PATTERN    run only checks whose name matches PATTERN, a shell\n"
                       "                    pattern (\"vectors.sha1.*\") or a dotted prefix\n"
                       "                    (\"contract.rsa\"); may be given more than once\n"
                       "  --skip PATTERN    leave out checks whose name matches PATTERN (as --only);\n"
                       "                    may be given more than once\n"
                       "  --jobs N          run N checks at a time, longest first, each in its own\n"
                       "                    child (default: the number of CPUs); output and reports\n"
                       "                    keep the order of a serial run\n"
                       "  --shard K/N       run the K-th of N parts of the checks: the N parts of a\n"
                       "                    CI matrix together run every check once\n"
                       "  --expect-fail FILE  lines \"CHECK  reason\": these checks may fail without\n"
                       "                    failing the run; one that passes is reported\n"
                       "  --artifacts DIR   write a replay bundle DIR/CHECK.json for each failing\n"
                       "                    check (see tarvel-check replay --help)\n"
                       "  --color WHEN      auto (default: on a terminal, unless NO_COLOR is set),\n"
                       "                    always or never\n"
                       "@REPORTS@"
                       "  --vectors DIR     folder of the NIST validation files (default: the one\n"
                       "                    of Debian's python3-cryptography-vectors)\n"
                       "  --timeout SECONDS the time limit of every check (default: each check's\n"
                       "                    own, 30 s for most); a check past it fails as hung\n"
                       "  --memcheck        run every check's child under valgrind's memcheck: an\n"
                       "                    invalid access, a jump on uninitialised memory, a bad\n"
                       "                    free or a leak in the component fails the check (time\n"
                       "                    limits, --timeout too, are multiplied by 40;\n"
                       "                    needs valgrind)\n"
                       "  --list            list the checks that would run, and run none\n"
                       "  --explain NAME    print a rule of the catalogue (\"hash.digest\") or a check\n"
                       "                    (\"rsa.key-files\"): the rule's text and class, where it\n"
                       "                    is written, what the check feeds the component, and\n"
                       "                    how to replay it\n"
                       "  -q, --quiet       print only failures and the summary\n"
                       "  -h, --help        show this text\n"
                       "  --version         print the version and stop\n"
                       "\n"
                       "Suites (all when none is named, but timing only when named or at thorough):\n";
    for (const std::string& line : suiteLines)
        text += "  " + line + "\n";
    std::string reports;
    for (const auto& format : CheckReportFormats()) {
        std::string option = "  --" + std::string(format.name) + " FILE";
        option += std::string(option.size() < 20 ? 20 - option.size() : 1, ' ');
        reports += option + "also write " + format.help + "\n";
    }
    text.replace(text.find("@REPORTS@"), 9, reports);
    text += "\n"
            "Exit status:\n"
            "  0  every check that ran passed (or was skipped)\n"
            "  1  at least one check failed\n"
            "  2  the component could not be loaded, a vector file is missing, or the\n"
            "     command line is wrong\n"
            "\n"
            "Every failure and note names the rule it rests on (--explain prints one; the\n"
            "catalogue is /usr/share/doc/tarvel-check/RULES.md): a required rule broken\n"
            "fails at every level, a recommended one (the bundled component's habits) is a\n"
            "note below thorough.\n"
            "tarvel-check judges honest components that may be wrong, crash or hang; code\n"
            "running inside a check could forge that check's result, so it is no defence\n"
            "against a component written to deceive it.\n";
    return text;
}

bool NamePicked(const std::string& name, const std::vector<std::string>& patterns)
{
    if (patterns.empty())
        return true;
    for (const std::string& pattern : patterns) {
        if (fnmatch(pattern.c_str(), name.c_str(), 0) == 0)
            return true;
        // An empty pattern (--only=) picks nothing, and has no last character.
        if (!pattern.empty() && name.size() > pattern.size() && name.compare(0, pattern.size(), pattern) == 0 &&
            (name[pattern.size()] == '.' || pattern.back() == '.'))
            return true;
    }
    return false;
}

}  // namespace checks::runner
