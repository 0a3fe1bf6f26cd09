#include "framework/property_sheet.h"

#include "dialog_units.h"
#include "framework/resources.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWizard>
#include <QWizardPage>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr QWizard::WizardButton kBackButton = QWizard::CustomButton1;
constexpr QWizard::WizardButton kNextButton = QWizard::CustomButton2;

// The sheet's window. QWizard's own Back and Next are not used: their
// callbacks do not run on every page change, so the sheet brings its own
// buttons and drives the page changes itself. Escape, Cancel and the close
// box all go to the sheet's Cancel.
class SheetWindow : public QWizard {
public:
    SheetWindow(CPropertySheet& owner, QWidget* parent) : QWizard(parent), m_owner(owner)
    {
        setWizardStyle(QWizard::ClassicStyle);
        setOptions(QWizard::NoDefaultButton | QWizard::HaveCustomButton1 | QWizard::HaveCustomButton2);
        setButtonText(kBackButton, QStringLiteral("< &Back"));
        setButtonText(kNextButton, QStringLiteral("&Next >"));
        setButtonText(QWizard::CancelButton, QStringLiteral("Cancel"));
        setButtonLayout({QWizard::Stretch, kBackButton, kNextButton, QWizard::CancelButton});
        if (auto* next = qobject_cast<QPushButton*>(button(kNextButton))) {
            next->setAutoDefault(true);
            next->setDefault(true);
        }
        connect(this, &QWizard::customButtonClicked, this,
                [this](int which) { m_owner.PressButton(which == kBackButton ? PSBTN_BACK : PSBTN_NEXT); });
    }

    void reject() override { m_owner.PressButton(PSBTN_CANCEL); }

    // QWizard knows the room its pages need only once it is shown, and then
    // grows at the first page change; sized at once, before anything is
    // painted, it never changes size after.
    void setVisible(bool visible) override
    {
        QWizard::setVisible(visible);
        if (visible && !m_sized) {
            m_sized = true;
            resize(sizeHint().expandedTo(size()));
        }
    }

    // Shows page `index`. Restarting from that page keeps QWizard's history
    // to one entry, so any page can follow any other.
    void ShowPage(int index)
    {
        setStartId(index);
        restart();
    }

private:
    CPropertySheet& m_owner;
    bool m_sized = false;
};

[[noreturn]] void MissingTemplate(UINT id)
{
    std::fprintf(stderr, "No dialog template %u in the program's resources\n", id);
    std::fflush(stderr);
    std::abort();
}

const DialogTemplate& TemplateOf(const CPropertyPage& page)
{
    const DialogTemplate* dialogTemplate = AfxGetResources().FindDialog(static_cast<int>(page.GetTemplateId()));
    if (!dialogTemplate)
        MissingTemplate(page.GetTemplateId());
    return *dialogTemplate;
}

}  // namespace

// ---- CPropertyPage ----

CPropertyPage::CPropertyPage(UINT nIDTemplate) : m_nIDTemplate(nIDTemplate) {}

CPropertyPage::~CPropertyPage() = default;

BOOL CPropertyPage::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnSetActive()
{
    // The first activation follows OnInitDialog, which has shown the fields.
    if (m_bFirstSetActive)
        m_bFirstSetActive = false;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}

LRESULT CPropertyPage::OnWizardNext()
{
    return 0;
}

LRESULT CPropertyPage::OnWizardBack()
{
    return 0;
}

// ---- CPropertySheet ----

CPropertySheet::CPropertySheet(const char* pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_strCaption(pszCaption), m_nStartPage(iSelectPage)
{
    m_pParentWnd = pParentWnd;
}

CPropertySheet::~CPropertySheet() = default;

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    if (!pPage)
        return;
    pPage->m_pParentWnd = this;
    m_pages.push_back(pPage);
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
    if (nPage < 0 || nPage >= GetPageCount())
        return nullptr;
    return m_pages[static_cast<std::size_t>(nPage)];
}

BOOL CPropertySheet::Create()
{
    if (GetSafeHwnd() || m_pages.empty())
        return FALSE;
    QWidget* parent = m_pParentWnd && m_pParentWnd->GetSafeHwnd() ? m_pParentWnd->GetSafeHwnd()->window()
                                                                  : QApplication::activeWindow();
    // The window belongs to this object: DestroyWindow or ~CWnd deletes it.
    auto* window = new SheetWindow(*this, parent);
    window->setWindowTitle(QString::fromStdString(m_strCaption.str()));
    // Every page gets the room of the largest one, as in a property sheet:
    // no page is clipped and the window keeps one size from page to page.
    QSize largest;
    for (const CPropertyPage* page : m_pages)
        largest = largest.expandedTo(DialogPixelSize(TemplateOf(*page)));
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        auto* container = new QWizardPage(window);
        auto* layout = new QVBoxLayout(container);
        layout->setContentsMargins(0, 0, 0, 0);
        container->setMinimumSize(largest);
        window->setPage(static_cast<int>(i), container);
    }
    AttachWindow(window);
    StartModalState();
    m_activeIndex = -1;
    const int start = m_nStartPage < m_pages.size() ? static_cast<int>(m_nStartPage) : 0;
    ActivatePage(start);
    return TRUE;
}

INT_PTR CPropertySheet::DoModal()
{
    if (!Create())
        return -1;
    return RunModalLoop();
}

BOOL CPropertySheet::PressButton(int nButton)
{
    if (!GetSafeHwnd() || ModalEnded())
        return FALSE;
    switch (nButton) {
    case PSBTN_NEXT:
        return Step(+1) ? TRUE : FALSE;
    case PSBTN_BACK:
        return Step(-1) ? TRUE : FALSE;
    case PSBTN_CANCEL:
        EndWizard(IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

void CPropertySheet::OnDestroy()
{
    for (CPropertyPage* page : m_pages)
        page->DestroyWindow();
    CWnd::OnDestroy();
}

int CPropertySheet::IndexOfTemplate(LRESULT templateId) const
{
    for (std::size_t i = 0; i < m_pages.size(); ++i)
        if (static_cast<LRESULT>(m_pages[i]->GetTemplateId()) == templateId)
            return static_cast<int>(i);
    return -1;
}

bool CPropertySheet::Step(int direction)
{
    const int next = m_activeIndex + direction;
    if (m_activeIndex < 0 || next < 0 || next >= GetPageCount())
        return false;
    CPropertyPage* page = GetActivePage();
    // What the answers mean is the page's contract: see CPropertyPage.
    const LRESULT answer = direction > 0 ? page->OnWizardNext() : page->OnWizardBack();
    if (answer == -1)
        return true;
    const int jump = answer > 0 ? IndexOfTemplate(answer) : -1;
    if (!page->OnKillActive())
        return true;
    ActivatePage(jump >= 0 ? jump : next);
    return true;
}

void CPropertySheet::EndWizard(int nResult)
{
    RecordModalEnd(nResult);
    // Through QDialog: QWizard keeps its override of done() protected.
    if (auto* window = static_cast<QDialog*>(GetSafeHwnd()))
        window->done(QDialog::Rejected);
}

bool CPropertySheet::ActivatePage(int index)
{
    auto* window = static_cast<SheetWindow*>(GetSafeHwnd());
    CPropertyPage* page = GetPage(index);
    if (!window || !page)
        return false;
    if (!page->GetSafeHwnd()) {
        const DialogTemplate& dialogTemplate = TemplateOf(*page);
        QWizardPage* container = window->page(index);
        auto* pageWindow = new QWidget(container);
        container->layout()->addWidget(pageWindow);
        pageWindow->setWindowTitle(QString::fromStdString(dialogTemplate.caption));
        page->AttachWindow(pageWindow);
        page->CreateControls(dialogTemplate);
        page->m_bFirstSetActive = true;
        page->OnInitDialog();
    }
    m_activeIndex = index;
    window->ShowPage(index);
    page->OnSetActive();
    UpdateButtons();
    return true;
}

void CPropertySheet::UpdateButtons()
{
    auto* window = static_cast<QWizard*>(GetSafeHwnd());
    if (!window)
        return;
    window->button(kBackButton)->setEnabled(m_activeIndex > 0);
    window->button(kNextButton)->setEnabled(m_activeIndex + 1 < GetPageCount());
}
