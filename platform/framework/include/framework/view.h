// CView: the window of the document inside the frame. It is a CWnd, so that
// dialogs can take it as their parent. CFormView lays out the controls of a
// dialog template instead of drawing.
#pragma once

#include "framework/cmd_target.h"
#include "framework/wnd.h"

#include <memory>

class CDocument;
class CFrameWnd;
class QPainter;
class QPrinter;
class QWidget;

// Device context handed to drawing and printing code.
class CDC {
public:
    explicit CDC(QPainter& painter) : m_painter(painter) {}
    QPainter& Painter() const { return m_painter; }

private:
    QPainter& m_painter;
};

// State of one print job.
struct CPrintInfo {
    BOOL m_bPreview = FALSE;
    BOOL m_bDirect = FALSE;  // print without asking for a printer first
    UINT m_nCurPage = 1;
    UINT m_nMaxPage = 1;
    QPrinter* m_pPrinter = nullptr;
};

struct CREATESTRUCT;

class CView : public CWnd, public CCmdTarget {
public:
    using RuntimeBase = CView;

    CView();
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    CFrameWnd* GetParentFrame() const { return m_pFrame; }

    // Makes the view's window inside parentWidget and joins the document.
    virtual BOOL Create(CFrameWnd* pFrame, QWidget* clientArea, CDocument* pDocument);

    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // Sent each time the document starts afresh (new or opened).
    virtual void OnInitialUpdate();
    virtual void OnDraw(CDC* pDC) = 0;

    // Printing, in the order the framework calls them.
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);

    // Asks for a printer unless printing directly or previewing; FALSE when
    // the user cancels.
    BOOL DoPreparePrinting(CPrintInfo* pInfo);

    void OnFilePrint();
    void OnFilePrintDirect();
    void OnFilePrintPreview();

protected:
    // Makes and attaches the view's window inside the frame's client area
    // (whose layout takes it); CFormView makes its form there instead.
    virtual BOOL CreateViewWindow(QWidget* clientArea);

private:
    friend class CDocument;
    void PrintJob(CPrintInfo& info);
    void PrintPages(QPrinter& printer, CPrintInfo& info);

    CDocument* m_pDocument = nullptr;
    CFrameWnd* m_pFrame = nullptr;
};

class CFormView : public CView {
public:
    explicit CFormView(UINT nIDTemplate);

    UINT GetTemplateId() const { return m_nIDTemplate; }
    void OnInitialUpdate() override;  // fields to controls
    void OnDraw(CDC*) override {}

protected:
    BOOL CreateViewWindow(QWidget* clientArea) override;

private:
    UINT m_nIDTemplate;
};
