#include "framework/doc_template.h"

#include "framework/app.h"
#include "framework/document.h"
#include "framework/frame.h"
#include "framework/resources.h"
#include "framework/view.h"

#include <sstream>

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, const CRuntimeClass<CDocument>* pDocClass,
                                       const CRuntimeClass<CFrameWnd>* pFrameClass,
                                       const CRuntimeClass<CView>* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass)
{
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    CloseAllDocuments();
}

void CSingleDocTemplate::CloseAllDocuments()
{
    // The frame holds the view, which refers to the document: frame first.
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == m_pFrame.get())
        app->m_pMainWnd = nullptr;
    if (m_pFrame)
        m_pFrame->DestroyWindow();
    m_pFrame.reset();
    m_pDocument.reset();
}

CString CSingleDocTemplate::GetDocString(DocStringIndex index) const
{
    std::istringstream fields(AfxGetResources().LoadString(static_cast<int>(m_nIDResource)));
    std::string field;
    for (int i = 0; i <= index; ++i) {
        if (!std::getline(fields, field))
            return CString();
    }
    return CString(field);
}

CString CSingleDocTemplate::DefaultTitle() const
{
    const CString name = GetDocString(docName);
    return name.IsEmpty() ? CString("Untitled") : name;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* lpszPathName)
{
    bool created = false;
    if (!m_pDocument) {
        std::unique_ptr<CDocument> document = m_pDocClass->CreateObject();
        std::unique_ptr<CFrameWnd> frame = m_pFrameClass->CreateObject();
        CCreateContext context;
        context.m_pNewViewClass = m_pViewClass;
        context.m_pCurrentDoc = document.get();
        if (!frame->LoadFrame(m_nIDResource, &context))
            return nullptr;
        m_pDocument = std::move(document);
        m_pFrame = std::move(frame);
        created = true;
    } else if (!m_pDocument->SaveModified()) {
        return nullptr;
    }

    CDocument* document = m_pDocument.get();
    if (lpszPathName) {
        if (!document->OnOpenDocument(lpszPathName)) {
            if (created)
                CloseAllDocuments();
            return nullptr;
        }
        document->SetPathName(lpszPathName);
    } else {
        document->SetTitle(DefaultTitle());
        if (!document->OnNewDocument()) {
            if (created)
                CloseAllDocuments();
            return nullptr;
        }
    }

    if (CWinApp* app = AfxGetApp(); app && !app->m_pMainWnd)
        app->m_pMainWnd = m_pFrame.get();
    m_pFrame->InitialUpdateFrame(document);
    return document;
}
