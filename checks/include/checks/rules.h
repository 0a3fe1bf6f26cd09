// The written rules every verdict rests on. The catalogue is the document
// crypto/RULES.md, built into the checker; each rule lists, as shell
// patterns, the checks that enforce it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace checks {

enum class RuleClass {
    // What the programs rely on, safety, never a wrong result with success:
    // broken, the check fails at every level.
    Required,
    // The bundled component's habit: a note below thorough, a failure at it.
    Recommended,
};

const char* RuleClassName(RuleClass ruleClass);  // "required", "recommended"

struct Rule {
    std::string id;  // "hash.digest"
    RuleClass ruleClass = RuleClass::Required;
    std::string section;              // the heading it stands under: "Hashes"
    std::string text;                 // the rule itself, one paragraph
    std::vector<std::string> checks;  // patterns of the checks enforcing it
};

// Every rule, in the catalogue's order.
const std::vector<Rule>& AllRules();
const Rule* FindRule(std::string_view id);

// The rules a check enforces, the most specific first: an exact name before
// "contract.rsa.*" before "contract.*" before "*".
std::vector<const Rule*> RulesOfCheck(std::string_view checkName);

// The rule a check's failure rests on when the body names none: its most
// specific rule of that class (call.status, never null, for Required).
const Rule* DefaultRule(std::string_view checkName, RuleClass ruleClass);

// "[required: hash.digest] " before a message.
std::string RuleTag(const Rule& rule);

// Parses a catalogue in the layout of crypto/RULES.md: "### id · class"
// headings, a paragraph of text, a "Checks:" line. Exposed for its tests.
std::optional<std::vector<Rule>> ParseCatalogue(std::string_view text, std::string& error);

}  // namespace checks
