// Windows of the test program: a dialog with one field of every kind and
// wizard pages that log what the sheet asks of them.
#pragma once

#include "framework/data_exchange.h"
#include "framework/dialog.h"
#include "framework/property_sheet.h"

#include <string>
#include <vector>

inline constexpr UINT kExchangeDialog = 200;
inline constexpr int kLengthEdit = 1001;
inline constexpr int kNameEdit = 1000;
inline constexpr int kCheckBox = 1011;
inline constexpr int kStaticText = 1020;
inline constexpr int kNotesEdit = 1030;
inline constexpr int kTestButton = 1040;

class ExchangeDialog : public CDialog {
public:
    ExchangeDialog() : CDialog(kExchangeDialog) { OnButtonClicked(kTestButton, &ExchangeDialog::OnTest); }

    UINT m_length = 16;
    CString m_name = "Testing";
    BOOL m_check = FALSE;
    CString m_static;
    CString m_notes;

    int initCount = 0;
    int destroyCount = 0;
    int postNcDestroyCount = 0;
    int testCount = 0;
    bool endInInit = false;

    void OnTest() { ++testCount; }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, kLengthEdit, m_length);
        DDX_Text(pDX, kNameEdit, m_name);
        DDX_Check(pDX, kCheckBox, m_check);
        DDX_Text(pDX, kStaticText, m_static);
        DDX_Text(pDX, kNotesEdit, m_notes);
    }
    BOOL OnInitDialog() override
    {
        ++initCount;
        CDialog::OnInitDialog();
        if (endInInit)
            EndDialog(IDOK);
        return TRUE;
    }
    void OnDestroy() override { ++destroyCount; }
    void PostNcDestroy() override { ++postNcDestroyCount; }
};

// Every page logs "<event> <index>"; OnWizardNext answers `nextAnswer`.
class LoggingPage : public CPropertyPage {
public:
    LoggingPage(UINT templateId, int index, std::vector<std::string>& log)
        : CPropertyPage(templateId), m_index(index), m_log(log)
    {
    }

    UINT m_value = 0;
    LRESULT nextAnswer = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, kLengthEdit, m_value); }
    BOOL OnInitDialog() override
    {
        Log("init");
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnSetActive() override
    {
        Log("setactive");
        return CPropertyPage::OnSetActive();
    }
    BOOL OnKillActive() override
    {
        Log("killactive");
        return CPropertyPage::OnKillActive();
    }
    LRESULT OnWizardNext() override
    {
        Log("next");
        return nextAnswer;
    }
    LRESULT OnWizardBack() override
    {
        Log("back");
        return CPropertyPage::OnWizardBack();
    }
    void OnDestroy() override { Log("destroy"); }
    void PostNcDestroy() override { Log("postncdestroy"); }

private:
    void Log(const char* event) { m_log.push_back(std::string(event) + " " + std::to_string(m_index)); }

    int m_index;
    std::vector<std::string>& m_log;
};
