#include "runner/explain.h"

#include <checks/rules.h>

namespace checks::runner {
namespace {

constexpr const char* kWhere = "crypto/RULES.md (installed as /usr/share/doc/tarvel-check/RULES.md)";

// The text wrapped at 76 columns, each line indented.
std::string Wrapped(const std::string& text, const std::string& indent)
{
    std::string out, line;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && indent.size() + line.size() + 1 + word.size() > 76) {
            out += indent + line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    if (!line.empty())
        out += indent + line + "\n";
    return out;
}

std::string RuleText(const Rule& rule)
{
    std::string out = rule.id + " (" + RuleClassName(rule.ruleClass) + "; " + rule.section + ")\n";
    std::string text = rule.text;  // the document's code marks mean nothing on a terminal
    std::erase(text, '`');
    out += Wrapped(text, "  ");
    out += rule.ruleClass == RuleClass::Required ? "  Broken, it fails the check at every level.\n"
                                                 : "  Broken, it is a note below thorough and a failure at it.\n";
    out += "  Written in " + std::string(kWhere) + ".\n";
    return out;
}

}  // namespace

std::optional<std::string> ExplainText(const std::string& name, const std::vector<CheckDef>& checks)
{
    if (const Rule* rule = FindRule(name)) {
        std::string out = RuleText(*rule) + "  Checks enforcing it:";
        std::string list;
        for (const CheckDef& check : checks)
            for (const Rule* enforced : RulesOfCheck(check.name))
                if (enforced == rule)
                    list += "\n    " + check.name;
        return out + (list.empty() ? " none at any level\n" : list + "\n");
    }
    for (const CheckDef& check : checks) {
        if (check.name != name)
            continue;
        std::string out = check.name + ": " + check.description + "\n";
        out += "  Time limit " + std::to_string(static_cast<int>(check.timeoutSeconds)) + " s.";
        for (const std::string& file : check.inputFiles)
            out += "\n  Reads " + file + ".";
        out += "\n  Replay: tarvel-check --component PATH --level LEVEL --seed SEED --only " + check.name + "\n";
        out += "  Its inputs come from the seed (the run's seed mixed with the check's name),\n"
               "  so the same seed gives the same calls.\n\nRules it enforces, the most specific first:\n\n";
        for (const Rule* rule : RulesOfCheck(check.name))
            out += RuleText(*rule) + "\n";
        return out;
    }
    return std::nullopt;
}

}  // namespace checks::runner
