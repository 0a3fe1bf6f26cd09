// CDocument: the data side of the single document; knows its title, its file
// and its views. Save and Save As are its own commands.
#pragma once

#include "framework/archive.h"
#include "framework/cmd_target.h"
#include "runtime/cstring.h"

#include <vector>

class CView;

class CDocument : public CCmdTarget {
public:
    using RuntimeBase = CDocument;

    CDocument();
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(const CString& title);
    const CString& GetPathName() const { return m_strPathName; }
    // Remembers the file the document belongs to, titles the document with
    // the file's name and, by default, puts it first in the recent-file list.
    virtual void SetPathName(const CString& pathName, BOOL bAddToMRU = TRUE);

    BOOL IsModified() const { return m_bModified; }
    void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

    void AddView(CView* pView);
    void RemoveView(CView* pView);

    // A fresh, untitled document.
    virtual BOOL OnNewDocument();
    // Reads the file through Serialize; tells the user and returns FALSE
    // when the file cannot be read.
    virtual BOOL OnOpenDocument(const char* lpszPathName);
    // Writes the file through Serialize; tells the user and returns FALSE
    // when the file cannot be written.
    virtual BOOL OnSaveDocument(const char* lpszPathName);
    virtual void DeleteContents() {}
    virtual void Serialize(CArchive& ar);

    // TRUE when the document may be replaced or closed (asks to save only a
    // modified document).
    virtual BOOL SaveModified();

    // Saves under lpszPathName, or asks for a name first when it is null.
    BOOL DoSave(const char* lpszPathName, BOOL bReplace = TRUE);

    void OnFileSave();
    void OnFileSaveAs();

private:
    void UpdateFrameTitles();

    CString m_strTitle;
    CString m_strPathName;
    BOOL m_bModified = FALSE;
    std::vector<CView*> m_viewList;
};
