#include <checks/rules.h>

#include "rules/rules_text.h"

#include <fnmatch.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace checks {
namespace {

constexpr std::string_view kSeparator = " \u00b7 ";  // "### id · class"

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string> SplitList(std::string_view text)
{
    std::vector<std::string> items;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = Trimmed(text.substr(0, comma));
        if (!item.empty())
            items.emplace_back(item);
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    return items;
}

// How closely a pattern names a check: an exact name beats any pattern, and
// a pattern with more literal characters beats one with fewer.
int Specificity(const std::string& pattern)
{
    const bool wild = pattern.find_first_of("*?[") != std::string::npos;
    if (!wild)
        return 10000 + static_cast<int>(pattern.size());
    return static_cast<int>(std::count_if(pattern.begin(), pattern.end(),
                                          [](char c) { return c != '*' && c != '?' && c != '[' && c != ']'; }));
}

// The best specificity with which rule names the check, or -1.
int Match(const Rule& rule, std::string_view checkName)
{
    const std::string name(checkName);
    int best = -1;
    for (const std::string& pattern : rule.checks)
        if (fnmatch(pattern.c_str(), name.c_str(), 0) == 0)
            best = std::max(best, Specificity(pattern));
    return best;
}

}  // namespace

const char* RuleClassName(RuleClass ruleClass)
{
    return ruleClass == RuleClass::Required ? "required" : "recommended";
}

std::optional<std::vector<Rule>> ParseCatalogue(std::string_view text, std::string& error)
{
    std::vector<Rule> rules;
    std::string section;
    bool inText = false;
    int lineNumber = 0;
    auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(lineNumber) + ": " + what;
        return std::nullopt;
    };
    std::istringstream lines{std::string(text)};
    for (std::string raw; std::getline(lines, raw);) {
        ++lineNumber;
        const std::string_view line = Trimmed(raw);
        if (line.rfind("### ", 0) == 0) {
            const std::string_view heading = line.substr(4);
            const std::size_t dot = heading.find(kSeparator);
            if (dot == std::string_view::npos)
                return fail("a rule heading must read '### id \u00b7 class'");
            Rule rule;
            rule.id = Trimmed(heading.substr(0, dot));
            const std::string_view ruleClass = Trimmed(heading.substr(dot + kSeparator.size()));
            if (ruleClass == "required")
                rule.ruleClass = RuleClass::Required;
            else if (ruleClass == "recommended")
                rule.ruleClass = RuleClass::Recommended;
            else
                return fail("the class of " + rule.id + " must be required or recommended");
            if (rule.id.empty() || rule.id.find(' ') != std::string::npos)
                return fail("a rule id is one word");
            for (const Rule& other : rules)
                if (other.id == rule.id)
                    return fail("the rule " + rule.id + " is written twice");
            rule.section = section;
            rules.push_back(std::move(rule));
            inText = true;
        } else if (line.rfind("## ", 0) == 0) {
            section = Trimmed(line.substr(3));
            inText = false;
        } else if (inText && line.rfind("Checks:", 0) == 0) {
            rules.back().checks = SplitList(line.substr(7));
            if (rules.back().checks.empty())
                return fail("the rule " + rules.back().id + " names no check");
            inText = false;
        } else if (inText && !line.empty()) {
            std::string& body = rules.back().text;
            body += (body.empty() ? "" : " ") + std::string(line);
        }
    }
    for (const Rule& rule : rules)
        if (rule.checks.empty())
            return fail("the rule " + rule.id + " has no 'Checks:' line");
    if (rules.empty())
        return fail("no rule");
    return rules;
}

const std::vector<Rule>& AllRules()
{
    static const std::vector<Rule> rules = [] {
        std::string error;
        auto parsed = ParseCatalogue(rules::CatalogueText(), error);
        if (!parsed) {
            // The catalogue is built in; a broken one is a build defect the
            // unit tests catch, so there is nothing a user could do.
            std::fprintf(stderr, "tarvel-check: the built-in rules catalogue is broken: %s\n", error.c_str());
            std::abort();
        }
        return std::move(*parsed);
    }();
    return rules;
}

const Rule* FindRule(std::string_view id)
{
    for (const Rule& rule : AllRules())
        if (rule.id == id)
            return &rule;
    return nullptr;
}

std::vector<const Rule*> RulesOfCheck(std::string_view checkName)
{
    std::vector<std::pair<int, const Rule*>> found;
    for (const Rule& rule : AllRules())
        if (const int score = Match(rule, checkName); score >= 0)
            found.emplace_back(score, &rule);
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<const Rule*> out;
    for (const auto& [score, rule] : found)
        out.push_back(rule);
    return out;
}

const Rule* DefaultRule(std::string_view checkName, RuleClass ruleClass)
{
    for (const Rule* rule : RulesOfCheck(checkName))
        if (rule->ruleClass == ruleClass && Match(*rule, checkName) > 0)
            return rule;
    return FindRule(ruleClass == RuleClass::Required ? "call.status" : "status.exact");
}

std::string RuleTag(const Rule& rule)
{
    return "[" + std::string(RuleClassName(rule.ruleClass)) + ": " + rule.id + "] ";
}

}  // namespace checks
