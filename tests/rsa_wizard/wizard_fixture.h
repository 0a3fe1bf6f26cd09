// A fresh RSA Wizard for each test, created without running modally so that
// the test presses its buttons and reads its controls; WizardTest puts the
// fake component under it.
#pragma once

#include "fake_component.h"

#include "rsa_wizard/rsa_wizard.h"
#include "rsa_wizard/wizard_resource_ids.h"

#include "framework/prompts.h"
#include "framework/resources.h"
#include "runtime/runtime.h"

#include <QCheckBox>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

inline void InstallTarvel2Resources()
{
    static const ResourceSet resources = ResourceSet::Load(":/tarvel2");
    AfxSetResources(&resources);
}

// A word array as the pages render it, built independently: the last word
// first, 8 digits each, a blank after every pair counted from word 0.
inline std::string ExpectedHex(const std::vector<std::uint32_t>& words)
{
    std::string text;
    char digits[9];
    for (std::size_t i = words.size(); i-- > 0;) {
        std::snprintf(digits, sizeof digits, "%08x", words[i]);
        text += digits;
        if (i % 2 == 0)
            text += ' ';
    }
    return text;
}

// The pages' hex text back as words (word 0 first); empty for bad text.
inline std::vector<std::uint32_t> WordsOfHex(const std::string& text)
{
    std::string digits;
    for (char c : text)
        if (c != ' ')
            digits += c;
    std::vector<std::uint32_t> words;
    if (digits.size() % 8 != 0)
        return words;
    for (std::size_t end = digits.size(); end >= 8; end -= 8)
        words.push_back(static_cast<std::uint32_t>(std::stoul(digits.substr(end - 8, 8), nullptr, 16)));
    return words;
}

class WizardDriver : public ::testing::Test {
protected:
    static constexpr std::uint32_t kPinnedTicks = 0x00C0FFEE;

    void SetUp() override
    {
        InstallTarvel2Resources();
        PromptSeam::AnswerUnattended();
        PromptSeam::TakeMessages();
        SetTickCountForTesting(kPinnedTicks);
    }
    void TearDown() override
    {
        wizard.reset();
        SetTickCountForTesting(std::nullopt);
    }

    // Creates the wizard's window; page 1 is initialised and creates its
    // objects here.
    void Open()
    {
        wizard.reset();
        wizard = std::make_unique<RsaWizard>(nullptr);
        ASSERT_TRUE(wizard->Sheet().Create());
    }
    CPropertySheet& Sheet() { return wizard->Sheet(); }
    int ActivePage() { return Sheet().GetActiveIndex(); }
    bool Next() { return Sheet().PressButton(PSBTN_NEXT) != FALSE; }
    bool Back() { return Sheet().PressButton(PSBTN_BACK) != FALSE; }
    void Cancel() { Sheet().PressButton(PSBTN_CANCEL); }

    CWnd& Page(int index) { return *Sheet().GetPage(index); }
    std::string Text(int page, int id) { return Page(page).GetDlgItemText(id).str(); }
    void Type(int page, int id, const std::string& text) { Page(page).SetDlgItemText(id, CString(text)); }
    void SetTestGetSet(bool checked)
    {
        auto* box = qobject_cast<QCheckBox*>(Page(0).GetDlgItem(IDC_TESTGETSET));
        ASSERT_NE(box, nullptr);
        box->setChecked(checked);
    }
    // Page 1 with these values, then Next.
    void GenerateWith(const std::string& keyWords, bool testGetSet = false)
    {
        Type(0, IDC_KEYLENGTH, keyWords);
        SetTestGetSet(testGetSet);
        Next();
    }
    void PressTest() { Page(2).OnCommand(IDC_TEST); }
    void PressFileName() { Page(3).OnCommand(IDC_FILENAME_BUTTON); }

    static std::vector<std::string> Messages() { return PromptSeam::TakeMessages(); }

    std::unique_ptr<RsaWizard> wizard;
};

class WizardTest : public WizardDriver {
protected:
    // Calls of the wizard's own making, "<object> <method>", in order; the
    // creation's QueryInterface and AddRef are left out.
    std::vector<std::string> Calls(int object = 0) const
    {
        std::vector<std::string> lines;
        for (const FakeCall& call : fake.calls())
            if ((object == 0 || call.object == object) && call.method != "QueryInterface" && call.method != "AddRef")
                lines.push_back(std::to_string(call.object) + " " + call.method);
        return lines;
    }
    std::vector<FakeCall> CallsOf(int object) const
    {
        std::vector<FakeCall> found;
        for (const FakeCall& call : fake.callsOf(object))
            if (call.method != "QueryInterface" && call.method != "AddRef")
                found.push_back(call);
        return found;
    }
    std::vector<FakeCall> CallsNamed(const std::string& method) const
    {
        std::vector<FakeCall> found;
        for (const FakeCall& call : fake.calls())
            if (call.method == method)
                found.push_back(call);
        return found;
    }

    FakeComponent fake;
};
