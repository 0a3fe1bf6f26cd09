// Message boxes and the file-open dialog, behind one seam that runs without a
// user (tests, the screenshot tool, benchmarks) answer without blocking: once
// unattended, nothing is shown, message texts are recorded and file dialogs
// take their answer from a queue.
#pragma once

#include "framework/afx_types.h"
#include "runtime/cstring.h"

#include <optional>
#include <string>
#include <vector>

class CWnd;

// Modal box with the text as it stands, an OK button only and the program's
// title as caption. Returns IDOK.
int AfxMessageBox(const CString& text, UINT nType = MB_OK, UINT nIDHelp = 0);

class CFileDialog {
public:
    // lpszFilter in the framework's "Name|pattern|...||" form.
    CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt = nullptr, const char* lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* lpszFilter = nullptr,
                CWnd* pParentWnd = nullptr);

    INT_PTR DoModal();  // IDOK when a file was chosen, IDCANCEL otherwise
    CString GetPathName() const { return m_pathName; }

private:
    BOOL m_bOpenFileDialog;
    CString m_defExt;
    CString m_fileName;
    CString m_filter;
    DWORD m_dwFlags;
    CWnd* m_pParentWnd;
    CString m_pathName;
};

namespace PromptSeam {

// From now on prompts are answered by the seam instead of being shown, for
// runs that have nobody to click.
void AnswerUnattended();
// Texts of the message boxes shown since the last call, oldest first.
std::vector<std::string> TakeMessages();
// Captions of the message boxes shown since the last call, oldest first.
std::vector<std::string> TakeCaptions();
// The answer of the next file dialog: a path, or nullopt for Cancel. With an
// empty queue a file dialog is cancelled.
void QueueFileDialogAnswer(std::optional<std::string> path);

}  // namespace PromptSeam
