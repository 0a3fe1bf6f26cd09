#include "framework/dialog.h"

#include "framework/resources.h"

#include <QApplication>
#include <QDialog>

#include <cstdio>
#include <cstdlib>

namespace {

// The dialog's window. Escape and the close box ask the owner's OnCancel,
// which decides whether and how the dialog ends.
class DialogWindow : public QDialog {
public:
    DialogWindow(CDialog& owner, QWidget* parent) : QDialog(parent), m_owner(owner) {}

    void reject() override { m_owner.OnCancel(); }

private:
    CDialog& m_owner;
};

QWidget* ParentWindowFor(CWnd* parent)
{
    if (parent && parent->GetSafeHwnd())
        return parent->GetSafeHwnd()->window();
    return QApplication::activeWindow();
}

}  // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate)
{
    m_pParentWnd = pParentWnd;
}

CDialog::~CDialog() = default;

BOOL CDialog::Create()
{
    if (GetSafeHwnd())
        return FALSE;
    const DialogTemplate* dialogTemplate = AfxGetResources().FindDialog(static_cast<int>(m_nIDTemplate));
    if (!dialogTemplate) {
        std::fprintf(stderr, "No dialog template %u in the program's resources\n", m_nIDTemplate);
        std::fflush(stderr);
        std::abort();
    }
    // The window belongs to this object: DestroyWindow or ~CWnd deletes it.
    auto* window = new DialogWindow(*this, ParentWindowFor(m_pParentWnd));
    window->setWindowTitle(QString::fromStdString(dialogTemplate->caption));
    AttachWindow(window);
    CreateControls(*dialogTemplate);
    StartModalState();
    OnInitDialog();
    return TRUE;
}

INT_PTR CDialog::DoModal()
{
    if (!Create())
        return -1;
    return RunModalLoop();
}

void CDialog::EndDialog(int nResult)
{
    RecordModalEnd(nResult);
    if (auto* window = static_cast<QDialog*>(GetSafeHwnd()))
        window->done(nResult);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

bool CDialog::OnCommand(int nID)
{
    if (CWnd::OnCommand(nID))
        return true;
    if (nID == IDOK) {
        OnOK();
        return true;
    }
    if (nID == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}
