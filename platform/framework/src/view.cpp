#include "framework/view.h"

#include "framework/afx_commands.h"
#include "framework/app.h"
#include "framework/document.h"
#include "framework/frame.h"
#include "framework/prompts.h"
#include "framework/resources.h"

#include <QLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QWidget>

namespace {

// The plain view's window: hands its painting to the view.
class ViewWidget : public QWidget {
public:
    ViewWidget(CView& view, QWidget* parent) : QWidget(parent), m_view(view)
    {
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Base);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        CDC dc(painter);
        m_view.OnDraw(&dc);
    }

private:
    CView& m_view;
};

}  // namespace

CView::CView()
{
    MapCommand(ID_FILE_PRINT, &CView::OnFilePrint);
    MapCommand(ID_FILE_PRINT_DIRECT, &CView::OnFilePrintDirect);
    MapCommand(ID_FILE_PRINT_PREVIEW, &CView::OnFilePrintPreview);
}

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

BOOL CView::Create(CFrameWnd* pFrame, QWidget* clientArea, CDocument* pDocument)
{
    m_pFrame = pFrame;
    m_pParentWnd = pFrame;
    CREATESTRUCT cs;
    if (!PreCreateWindow(cs) || !CreateViewWindow(clientArea))
        return FALSE;
    m_pDocument = pDocument;
    if (pDocument)
        pDocument->AddView(this);
    return TRUE;
}

BOOL CView::CreateViewWindow(QWidget* clientArea)
{
    auto* window = new ViewWidget(*this, clientArea);
    clientArea->layout()->addWidget(window);
    AttachWindow(window);
    return TRUE;
}

BOOL CView::PreCreateWindow(CREATESTRUCT&)
{
    return TRUE;
}

void CView::OnInitialUpdate()
{
    if (QWidget* window = GetSafeHwnd())
        window->update();
}

BOOL CView::OnPreparePrinting(CPrintInfo* pInfo)
{
    return DoPreparePrinting(pInfo);
}

void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}

void CView::OnPrint(CDC* pDC, CPrintInfo*)
{
    OnDraw(pDC);
}

void CView::OnEndPrinting(CDC*, CPrintInfo*) {}

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo)
{
    if (pInfo->m_bPreview || pInfo->m_bDirect)
        return TRUE;
    QPrintDialog dialog(pInfo->m_pPrinter, GetSafeHwnd());
    return dialog.exec() == QDialog::Accepted ? TRUE : FALSE;
}

void CView::OnFilePrint()
{
    CPrintInfo info;
    PrintJob(info);
}

void CView::OnFilePrintDirect()
{
    CPrintInfo info;
    info.m_bDirect = TRUE;
    PrintJob(info);
}

void CView::OnFilePrintPreview()
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    CPrintInfo info;
    info.m_bPreview = TRUE;
    info.m_pPrinter = &app->GetPrinter();
    if (!OnPreparePrinting(&info))
        return;
    QPrintPreviewDialog preview(info.m_pPrinter, GetSafeHwnd());
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [this, &info](QPrinter* printer) { PrintPages(*printer, info); });
    preview.exec();
}

void CView::PrintJob(CPrintInfo& info)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    info.m_pPrinter = &app->GetPrinter();
    if (!OnPreparePrinting(&info))
        return;
    PrintPages(*info.m_pPrinter, info);
}

void CView::PrintPages(QPrinter& printer, CPrintInfo& info)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        AfxMessageBox("The document could not be printed: the printer is not available.");
        return;
    }
    CDC dc(painter);
    OnBeginPrinting(&dc, &info);
    for (UINT page = 1; page <= info.m_nMaxPage; ++page) {
        if (page > 1)
            printer.newPage();
        info.m_nCurPage = page;
        OnPrint(&dc, &info);
    }
    OnEndPrinting(&dc, &info);
    painter.end();
}

CFormView::CFormView(UINT nIDTemplate) : m_nIDTemplate(nIDTemplate) {}

BOOL CFormView::CreateViewWindow(QWidget* clientArea)
{
    const DialogTemplate* dialogTemplate = AfxGetResources().FindDialog(static_cast<int>(m_nIDTemplate));
    if (!dialogTemplate)
        return FALSE;
    // The form keeps its designed size; the area scrolls when the frame is
    // smaller than the form.
    auto* area = new QScrollArea(clientArea);
    area->setFrameShape(QFrame::NoFrame);
    area->setBackgroundRole(QPalette::Window);
    auto* form = new QWidget;
    area->setWidget(form);
    clientArea->layout()->addWidget(area);
    AttachWindow(form);
    CreateControls(*dialogTemplate);
    return TRUE;
}

void CFormView::OnInitialUpdate()
{
    UpdateData(FALSE);
    CView::OnInitialUpdate();
}
