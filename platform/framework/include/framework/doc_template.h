// Run-time class records for dynamic creation, and the single-document
// template that makes the document, the frame and the view from them and
// keeps them for the life of the program.
#pragma once

#include "framework/afx_types.h"
#include "runtime/cstring.h"

#include <memory>

class CDocument;
class CFrameWnd;
class CView;

template <class Base>
struct CRuntimeClass {
    const char* m_lpszClassName;
    UINT m_wSchema;
    std::unique_ptr<Base> (*m_pfnCreateObject)();

    std::unique_ptr<Base> CreateObject() const { return m_pfnCreateObject(); }
};

// The record of class T, which names itself in kClassName and derives from a
// framework class that names its RuntimeBase (CDocument, CFrameWnd, CView).
template <class T>
const CRuntimeClass<typename T::RuntimeBase>* RuntimeClassOf()
{
    using Base = typename T::RuntimeBase;
    static const CRuntimeClass<Base> record{T::kClassName, 0xFFFF,
                                            []() -> std::unique_ptr<Base> { return std::make_unique<T>(); }};
    return &record;
}

class CSingleDocTemplate {
public:
    CSingleDocTemplate(UINT nIDResource, const CRuntimeClass<CDocument>* pDocClass,
                       const CRuntimeClass<CFrameWnd>* pFrameClass, const CRuntimeClass<CView>* pViewClass);
    ~CSingleDocTemplate();
    CSingleDocTemplate(const CSingleDocTemplate&) = delete;
    CSingleDocTemplate& operator=(const CSingleDocTemplate&) = delete;

    // Starts the single document afresh: a new one when lpszPathName is null,
    // otherwise from that file. The first call makes the document, the frame
    // and the view. Returns null on failure; a document that existed before
    // is then left as it was.
    CDocument* OpenDocumentFile(const char* lpszPathName);

    // A field of the template string (the resource's string): 0 window title,
    // 1 document name, 2 file-new name, 3 filter name, 4 filter extension,
    // 5 file-type id, 6 file-type name.
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };
    CString GetDocString(DocStringIndex index) const;
    // The title of a new document: the document name, or "Untitled".
    CString DefaultTitle() const;

    // Ends the document, the frame and the view.
    void CloseAllDocuments();

private:
    UINT m_nIDResource;
    const CRuntimeClass<CDocument>* m_pDocClass;
    const CRuntimeClass<CFrameWnd>* m_pFrameClass;
    const CRuntimeClass<CView>* m_pViewClass;
    std::unique_ptr<CDocument> m_pDocument;
    std::unique_ptr<CFrameWnd> m_pFrame;
};
