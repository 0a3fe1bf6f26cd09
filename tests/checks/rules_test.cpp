// The rules catalogue as the checker reads it: whole (every check rests on a
// rule of its own, every rule is enforced somewhere), and a broken catalogue
// refused with the line that is wrong.
#include <checks/rules.h>
#include <checks/all_suites.h>

#include "rules/unused_slots.h"

#include <gtest/gtest.h>

#include <fnmatch.h>

#include <string>
#include <vector>

namespace {

std::vector<checks::CheckDef> EveryCheck()
{
    checks::SuiteOptions everything;
    everything.level = checks::Level::Thorough;
    std::vector<checks::CheckDef> all{checks::LibraryLoadCheck()};
    for (const checks::NamedSuite& suite : checks::AllSuites())
        for (checks::CheckDef& check : suite.suite(everything))
            all.push_back(std::move(check));
    return all;
}

TEST(Rules, EveryCheckRestsOnARuleOfItsOwnAndEveryRuleIsEnforced)
{
    const auto all = EveryCheck();
    for (const checks::CheckDef& check : all) {
        const checks::Rule* rule = checks::DefaultRule(check.name, checks::RuleClass::Required);
        ASSERT_NE(rule, nullptr) << check.name;
        EXPECT_NE(rule->id, "call.status") << check.name << " names no required rule of its own";
    }
    for (const checks::Rule& rule : checks::AllRules()) {
        EXPECT_FALSE(rule.text.empty()) << rule.id;
        EXPECT_FALSE(rule.section.empty()) << rule.id;
        for (const std::string& pattern : rule.checks) {
            bool matched = false;
            for (const checks::CheckDef& check : all)
                matched |= fnmatch(pattern.c_str(), check.name.c_str(), 0) == 0;
            EXPECT_TRUE(matched) << rule.id << " names '" << pattern << "', which no check matches";
        }
    }
    // The rule for unimplemented slots lists the same slots the runner spares.
    const checks::Rule* unused = checks::FindRule("slots.unused-implemented");
    ASSERT_NE(unused, nullptr);
    EXPECT_EQ(unused->ruleClass, checks::RuleClass::Recommended);
    for (const std::string_view slot : checks::UnusedSlots()) {
        const std::string method(slot.substr(slot.find(':') == std::string_view::npos ? 0 : slot.rfind(':') + 1));
        EXPECT_NE(unused->text.find(method), std::string::npos) << slot;
    }
    EXPECT_TRUE(checks::IsUnusedSlotCall("IUserRSA::GetCode with a null buffer"));
    EXPECT_FALSE(checks::IsUnusedSlotCall("IUserRSA::GetCodeword"));
    EXPECT_FALSE(checks::IsUnusedSlotCall("IUserRSA::GetBase"));
}

TEST(Rules, TheMostSpecificRuleIsTheDefault)
{
    EXPECT_EQ(checks::DefaultRule("contract.sha1.protocol", checks::RuleClass::Required)->id, "hash.digest");
    EXPECT_EQ(checks::DefaultRule("contract.sha1.protocol", checks::RuleClass::Recommended)->id, "hash.after-refusal");
    EXPECT_EQ(checks::DefaultRule("rsa.key-files", checks::RuleClass::Required)->id, "files.private-owner-only");
    EXPECT_EQ(checks::DefaultRule("no.such.check", checks::RuleClass::Required)->id, "call.status");
    EXPECT_EQ(checks::RuleTag(*checks::FindRule("files.formats")), "[recommended: files.formats] ");
}

TEST(Rules, ABrokenCatalogueIsRefusedWithItsLine)
{
    const struct {
        const char* text;
        const char* says;
    } cases[] = {
        {"## A\n### a.b \xc2\xb7 required\nText.\n", "the rule a.b has no 'Checks:' line"},
        {"### a.b required\nChecks: *\n", "line 1: a rule heading must read"},
        {"### a.b \xc2\xb7 optional\nChecks: *\n", "line 1: the class of a.b must be required or recommended"},
        {"### a b \xc2\xb7 required\nChecks: *\n", "line 1: a rule id is one word"},
        {"### a \xc2\xb7 required\nChecks: *\n### a \xc2\xb7 recommended\nChecks: *\n",
         "line 3: the rule a is written twice"},
        {"### a \xc2\xb7 required\nChecks: ,\n", "line 2: the rule a names no check"},
        {"# Only a title\n", "no rule"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(checks::ParseCatalogue(c.text, error)) << c.text;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.text << "\n" << error;
    }
    std::string error;
    const auto parsed =
        checks::ParseCatalogue("## Hashes\n### h.d \xc2\xb7 recommended\nOne\nparagraph.\nChecks: a.*, b\n", error);
    ASSERT_TRUE(parsed) << error;
    ASSERT_EQ(parsed->size(), 1u);
    EXPECT_EQ(parsed->front().text, "One paragraph.");
    EXPECT_EQ(parsed->front().section, "Hashes");
    EXPECT_EQ(parsed->front().checks, (std::vector<std::string>{"a.*", "b"}));
}

}  // namespace
