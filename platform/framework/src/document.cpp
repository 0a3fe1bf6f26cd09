#include "framework/document.h"

#include "framework/afx_commands.h"
#include "framework/app.h"
#include "framework/doc_template.h"
#include "framework/frame.h"
#include "framework/prompts.h"
#include "framework/view.h"

#include "native_path.h"
#include "runtime/regular_file.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

CString FileProblem(const char* verb, const char* path, const QString& reason)
{
    CString text;
    text.Format("Cannot %s \"%s\": %s.", verb, qPrintable(ShownPath(path)), qPrintable(reason));
    return text;
}

// Opening a FIFO waits for the other end, which may never come, and a
// device or folder is no document: only regular files (or links to them) are
// read or written. A name that does not exist yet is left to the open.
bool IsOtherThanRegularFile(const char* path)
{
    return !NonRegularFileReason(path).empty();
}

// Gives fd to file, which closes it from then on; closes it here when Qt
// does not take it.
bool AdoptDescriptor(QFile& file, int fd, QIODevice::OpenMode mode)
{
    if (file.open(fd, mode, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    return false;
}

// The document's file, opened by its native name (see native_path.h) and
// handed to Qt as a descriptor; false after telling the user why (verb names
// what was tried: "open", "save").
bool OpenDocumentFile(QFile& file, const char* path, const char* verb, QIODevice::OpenMode mode)
{
    const QString notRegular = QStringLiteral("it is not a regular file");
    if (IsOtherThanRegularFile(path)) {
        AfxMessageBox(FileProblem(verb, path, notRegular));
        return false;
    }
    if (!(mode & QIODevice::WriteOnly)) {
        ReadOnlyRegularFile opened(path);
        if (!opened.IsOpen()) {
            AfxMessageBox(FileProblem(verb, path, QString::fromStdString(opened.ErrorText())));
            return false;
        }
        if (!AdoptDescriptor(file, opened.Release(), mode)) {
            AfxMessageBox(FileProblem(verb, path, file.errorString()));
            return false;
        }
        return true;
    }
    // Never waits for a reader should a FIFO have taken the name since the
    // look above; the look after the open settles what was opened.
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0 || !AdoptDescriptor(file, fd, mode)) {
        AfxMessageBox(
            FileProblem(verb, path, fd < 0 ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString()));
        return false;
    }
    struct stat info {};
    if (::fstat(file.handle(), &info) != 0 || !S_ISREG(info.st_mode)) {
        file.close();
        AfxMessageBox(FileProblem(verb, path, notRegular));
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
    m_strPathName = CString(AbsoluteNativePath(pathName.str()));
    SetTitle(CString(ShownPath(NativeFileName(m_strPathName.str())).toStdString()));
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
    QFile file;
    if (!OpenDocumentFile(file, lpszPathName, "open", QIODevice::ReadOnly))
        return FALSE;
    DeleteContents();
    CArchive archive(file, CArchive::load);
    Serialize(archive);
    if (file.error() != QFileDevice::NoError) {
        AfxMessageBox(FileProblem("read", lpszPathName, file.errorString()));
        DeleteContents();
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(const char* lpszPathName)
{
    QFile file;
    if (!OpenDocumentFile(file, lpszPathName, "save", QIODevice::WriteOnly | QIODevice::Truncate))
        return FALSE;
    CArchive archive(file, CArchive::store);
    Serialize(archive);
    // flush() reports a failed write that close() would swallow.
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        AfxMessageBox(FileProblem("save", lpszPathName, file.errorString()));
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
