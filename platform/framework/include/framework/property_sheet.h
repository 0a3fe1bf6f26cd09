// Property sheet and pages; the sheet runs as a wizard (Back, Next, Cancel).
//
// A page's window is created the first time the page is shown (OnInitDialog
// then), OnSetActive runs on every activation, whether reached by Next or
// Back, and the sheet asks the page it leaves with OnWizardNext or
// OnWizardBack and then OnKillActive; either may keep the page.
#pragma once

#include "framework/wnd.h"

#include <vector>

class CPropertySheet;

struct PROPSHEETHEADER {
    DWORD dwFlags = 0;
};
inline constexpr DWORD PSH_WIZARD = 0x20;

// Buttons for PressButton.
inline constexpr int PSBTN_BACK = 0;
inline constexpr int PSBTN_NEXT = 1;
inline constexpr int PSBTN_CANCEL = 5;

class CPropertyPage : public CWnd {
public:
    explicit CPropertyPage(UINT nIDTemplate);
    ~CPropertyPage() override;

    UINT GetTemplateId() const { return m_nIDTemplate; }

    virtual BOOL OnInitDialog();  // puts the fields into the controls
    virtual BOOL OnSetActive();   // after the first activation: fields to controls
    virtual BOOL OnKillActive();  // controls to fields; FALSE keeps the page

    // Asked when the user presses Next (OnWizardNext) or Back (OnWizardBack)
    // on this page, and only when there is a page that way. The answer:
    //   -1               stay on this page (tell the user why first: the
    //                    sheet says nothing);
    //   0                go to the next (previous) page;
    //   a template id    go to the page made from that template; an id no
    //                    page of the sheet has, or any other negative
    //                    value, counts as 0.
    // Either way the page is left only if OnKillActive then agrees; the page
    // reached gets OnSetActive. The base versions answer 0.
    virtual LRESULT OnWizardNext();
    virtual LRESULT OnWizardBack();

private:
    friend class CPropertySheet;
    UINT m_nIDTemplate;
    bool m_bFirstSetActive = true;
};

class CPropertySheet : public CWnd {
public:
    CPropertySheet(const char* pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;

    // The sheet does not own its pages; they must outlive DoModal.
    void AddPage(CPropertyPage* pPage);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    int GetActiveIndex() const { return m_activeIndex; }
    CPropertyPage* GetActivePage() const { return GetPage(m_activeIndex); }

    void SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }
    PROPSHEETHEADER m_psh;

    // Runs modally until Cancel or the close box; returns IDCANCEL.
    virtual INT_PTR DoModal();

    // Creates the window and activates the first page without showing it or
    // waiting: lets tests drive the wizard. End it with DestroyWindow.
    BOOL Create();

    // Acts as the button would; FALSE when the button is not available.
    BOOL PressButton(int nButton);

protected:
    void OnDestroy() override;  // destroys the page windows first

private:
    bool ActivatePage(int index);
    void UpdateButtons();
    // Next (+1) or Back (-1); false when there is no page that way.
    bool Step(int direction);
    void EndWizard(int nResult);
    int IndexOfTemplate(LRESULT templateId) const;

    CString m_strCaption;
    UINT m_nStartPage;
    std::vector<CPropertyPage*> m_pages;
    int m_activeIndex = -1;
};
