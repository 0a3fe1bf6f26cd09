#include "framework/wnd.h"

#include "control_factory.h"
#include "control_text.h"
#include "data_exchange_failure.h"
#include "dialog_units.h"
#include "handler_map.h"
#include "framework/data_exchange.h"
#include "framework/resources.h"

#include <QAbstractButton>
#include <QDialog>
#include <QWidget>

CWnd::~CWnd()
{
    // A derived class is already gone here, so its OnDestroy/PostNcDestroy
    // cannot run; owners end windows with DestroyWindow (or DoModal) first.
    delete m_hWnd.data();
}

QWidget* CWnd::GetDlgItem(int nID) const
{
    if (!m_hWnd)
        return nullptr;
    return m_hWnd->findChild<QWidget*>(QString::number(nID), Qt::FindDirectChildrenOnly);
}

CString CWnd::GetDlgItemText(int nID) const
{
    const QWidget* control = GetDlgItem(nID);
    return control ? CString(ControlText(control).toStdString()) : CString();
}

void CWnd::SetDlgItemText(int nID, const CString& text)
{
    if (QWidget* control = GetDlgItem(nID))
        SetControlText(control, QString::fromStdString(text.str()));
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    if (!m_hWnd)
        return FALSE;
    CDataExchange exchange(this, bSaveAndValidate);
    try {
        DoDataExchange(&exchange);
    } catch (const DataExchangeFailure&) {
        return FALSE;
    }
    return TRUE;
}

void CWnd::StartModalState()
{
    m_nModalResult = IDCANCEL;
    m_bEnded = false;
}

void CWnd::RecordModalEnd(int nResult)
{
    m_nModalResult = nResult;
    m_bEnded = true;
}

INT_PTR CWnd::RunModalLoop()
{
    if (!m_bEnded) {
        if (auto* window = qobject_cast<QDialog*>(GetSafeHwnd()))
            window->exec();
    }
    const INT_PTR result = m_nModalResult;
    DestroyWindow();
    return result;
}

void CWnd::DestroyWindow()
{
    if (!m_hWnd || m_bDestroying)
        return;
    m_bDestroying = true;
    OnDestroy();
    delete m_hWnd.data();
    m_bDestroying = false;
    PostNcDestroy();
}

bool CWnd::OnCommand(int nID)
{
    return RunMappedHandler(m_clickMap, nID);
}

void CWnd::DoDataExchange(CDataExchange*) {}

void CWnd::AttachWindow(QWidget* window)
{
    delete m_hWnd.data();
    m_hWnd = window;
}

void CWnd::CreateControls(const DialogTemplate& dialogTemplate)
{
    QWidget* window = m_hWnd.data();
    if (!window)
        return;
    const QFont font = DialogFont(dialogTemplate);
    window->setFont(font);
    const DialogUnits units(font);
    const QList<QWidget*> controls = CreateTemplateControls(dialogTemplate, window, units);
    for (std::size_t i = 0; i < dialogTemplate.controls.size(); ++i) {
        auto* button = qobject_cast<QAbstractButton*>(controls[static_cast<qsizetype>(i)]);
        const int id = dialogTemplate.controls[i].id;
        if (button && id >= 0 && dialogTemplate.controls[i].kind.find("pushbutton") != std::string::npos)
            QObject::connect(button, &QAbstractButton::clicked, window, [this, id] { OnCommand(id); });
    }
    window->setFixedSize(units.ToPixelsX(dialogTemplate.cx), units.ToPixelsY(dialogTemplate.cy));
}
