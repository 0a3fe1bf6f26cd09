#include "framework/document.h"

#include "framework/afx_commands.h"
#include "framework/app.h"
#include "framework/doc_template.h"
#include "framework/frame.h"
#include "framework/prompts.h"
#include "framework/view.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

CString FileProblem(const char* verb, const QString& path, const QString& reason)
{
    CString text;
    text.Format("Cannot %s \"%s\": %s.", verb, qPrintable(path), qPrintable(reason));
    return text;
}

// Opening a FIFO waits for the other end, which may never come, and a
// device or folder is no document: only regular files (or links to them) are
// read or written. A name that does not exist yet is left to the open.
bool IsOtherThanRegularFile(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isFile();
}

// Opens the file for a document; false after telling the user why (verb
// names what was tried: "open", "save").
bool OpenDocumentFile(QFile& file, const char* verb, QIODevice::OpenMode mode)
{
    if (IsOtherThanRegularFile(file.fileName())) {
        AfxMessageBox(FileProblem(verb, file.fileName(), QStringLiteral("it is not a regular file")));
        return false;
    }
    if (!file.open(mode)) {
        AfxMessageBox(FileProblem(verb, file.fileName(), file.errorString()));
        return false;
    }
    return true;
}

}  // namespace

CDocument::CDocument()
{
    MapCommand(ID_FILE_SAVE, &CDocument::OnFileSave);
    MapCommand(ID_FILE_SAVE_AS, &CDocument::OnFileSaveAs);
}

CDocument::~CDocument()
{
    for (CView* view : m_viewList)
        view->m_pDocument = nullptr;
}

void CDocument::SetTitle(const CString& title)
{
    m_strTitle = title;
    UpdateFrameTitles();
}

void CDocument::SetPathName(const CString& pathName, BOOL bAddToMRU)
{
    const QFileInfo info(QString::fromStdString(pathName.str()));
    m_strPathName = CString(info.absoluteFilePath().toStdString());
    SetTitle(CString(info.fileName().toStdString()));
    if (bAddToMRU) {
        if (CWinApp* app = AfxGetApp())
            app->AddToRecentFileList(m_strPathName);
    }
}

void CDocument::AddView(CView* pView)
{
    if (std::find(m_viewList.begin(), m_viewList.end(), pView) == m_viewList.end())
        m_viewList.push_back(pView);
}

void CDocument::RemoveView(CView* pView)
{
    m_viewList.erase(std::remove(m_viewList.begin(), m_viewList.end(), pView), m_viewList.end());
}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(const char* lpszPathName)
{
    const QString path = QString::fromUtf8(lpszPathName);
    QFile file(path);
    if (!OpenDocumentFile(file, "open", QIODevice::ReadOnly))
        return FALSE;
    DeleteContents();
    CArchive archive(file, CArchive::load);
    Serialize(archive);
    if (file.error() != QFileDevice::NoError) {
        AfxMessageBox(FileProblem("read", path, file.errorString()));
        DeleteContents();
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(const char* lpszPathName)
{
    const QString path = QString::fromUtf8(lpszPathName);
    QFile file(path);
    if (!OpenDocumentFile(file, "save", QIODevice::WriteOnly | QIODevice::Truncate))
        return FALSE;
    CArchive archive(file, CArchive::store);
    Serialize(archive);
    // flush() reports a failed write that close() would swallow.
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        AfxMessageBox(FileProblem("save", path, file.errorString()));
        return FALSE;
    }
    file.close();
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::Serialize(CArchive&) {}

BOOL CDocument::SaveModified()
{
    // Documents of these programs hold nothing to lose; a modified one would
    // be asked about here.
    return TRUE;
}

BOOL CDocument::DoSave(const char* lpszPathName, BOOL bReplace)
{
    CString path = lpszPathName ? CString(lpszPathName) : CString();
    if (path.IsEmpty()) {
        CString proposal = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
        CWnd* parent = nullptr;
        if (CWinApp* app = AfxGetApp())
            parent = app->m_pMainWnd;
        CFileDialog dialog(FALSE, nullptr, proposal, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "All Files (*.*)|*.*||",
                           parent);
        if (dialog.DoModal() != IDOK)
            return FALSE;
        path = dialog.GetPathName();
    }
    if (!OnSaveDocument(path))
        return FALSE;
    if (bReplace)
        SetPathName(path);
    return TRUE;
}

void CDocument::OnFileSave()
{
    DoSave(m_strPathName.IsEmpty() ? nullptr : m_strPathName.GetString());
}

void CDocument::OnFileSaveAs()
{
    DoSave(nullptr);
}

void CDocument::UpdateFrameTitles()
{
    for (CView* view : m_viewList)
        if (CFrameWnd* frame = view->GetParentFrame())
            frame->OnUpdateFrameTitle();
}
