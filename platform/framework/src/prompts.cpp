#include "framework/prompts.h"

#include "framework/app.h"
#include "framework/wnd.h"
#include "native_path.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

#include <cstdio>
#include <deque>

namespace {

struct SeamState {
    bool enabled = false;
    std::vector<std::string> messages;
    std::vector<std::string> captions;
    std::deque<std::optional<std::string>> fileAnswers;
};

SeamState& Seam()
{
    static SeamState state;
    return state;
}

QWidget* OwnerWindow(CWnd* parent)
{
    if (parent && parent->GetSafeHwnd())
        return parent->GetSafeHwnd()->window();
    return QApplication::activeWindow();
}

QString ProgramTitle()
{
    // The program's own name first, as the application object knows it from
    // the string table; it is there before Qt has been told any name.
    if (const CWinApp* app = AfxGetApp()) {
        const CString name = app->GetAppName();
        if (!name.IsEmpty())
            return QString::fromStdString(name.str());
    }
    const QString title = QGuiApplication::applicationDisplayName();
    return title.isEmpty() ? QCoreApplication::applicationName() : title;
}

// "Name|pattern;pattern|...||" becomes Qt's "Name (pattern pattern);;...".
// "*.*" means every file, including names without a dot.
QString ToQtFilter(const CString& filter)
{
    const QStringList parts = QString::fromStdString(filter.str()).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        entries << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(QLatin1Char(' ')));
    }
    return entries.join(QStringLiteral(";;"));
}

// On a platform without a screen (offscreen, minimal) nobody can see or
// close a modal box, and the program would wait for ever.
bool NobodyCanSeeWindows()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

}  // namespace

int AfxMessageBox(const CString& text, UINT /*nType*/, UINT /*nIDHelp*/)
{
    if (Seam().enabled) {
        Seam().messages.push_back(text.str());
        Seam().captions.push_back(ProgramTitle().toStdString());
        return IDOK;
    }
    if (NobodyCanSeeWindows()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(ProgramTitle()), text.GetString());
        return IDOK;
    }
    QMessageBox box(QMessageBox::NoIcon, ProgramTitle(), QString::fromStdString(text.str()), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    // A message raised inside a wait must still look like something to click.
    const bool waiting = QApplication::overrideCursor() != nullptr;
    if (waiting)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    if (waiting)
        QApplication::restoreOverrideCursor();
    return IDOK;
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName, DWORD dwFlags,
                         const char* lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_defExt(lpszDefExt), m_fileName(lpszFileName), m_filter(lpszFilter),
      m_dwFlags(dwFlags), m_pParentWnd(pParentWnd)
{
}

INT_PTR CFileDialog::DoModal()
{
    m_pathName.Empty();
    if (Seam().enabled) {
        std::optional<std::string> answer;
        if (!Seam().fileAnswers.empty()) {
            answer = std::move(Seam().fileAnswers.front());
            Seam().fileAnswers.pop_front();
        }
        if (!answer)
            return IDCANCEL;
        m_pathName = CString(std::move(*answer));
        return IDOK;
    }

    // A name made only of wildcards is a filter, not a file to preselect.
    QString initialName = ShownPath(m_fileName.str());
    if (initialName.contains(QLatin1Char('*')) || initialName.contains(QLatin1Char('?')))
        initialName.clear();
    const QString filter = ToQtFilter(m_filter);
    QWidget* owner = OwnerWindow(m_pParentWnd);
    QString chosen;
    if (m_bOpenFileDialog) {
        chosen = QFileDialog::getOpenFileName(owner, QStringLiteral("Open"), initialName, filter);
    } else {
        QFileDialog::Options options;
        if (!(m_dwFlags & OFN_OVERWRITEPROMPT))
            options |= QFileDialog::DontConfirmOverwrite;
        chosen = QFileDialog::getSaveFileName(owner, QStringLiteral("Save As"), initialName, filter, nullptr, options);
        if (!chosen.isEmpty() && !m_defExt.IsEmpty() && QFileInfo(chosen).suffix().isEmpty())
            chosen += QLatin1Char('.') + QString::fromStdString(m_defExt.str());
    }
    if (chosen.isEmpty())
        return IDCANCEL;
    m_pathName = CString(NativePath(chosen));
    return IDOK;
}

namespace PromptSeam {

void AnswerUnattended()
{
    Seam().enabled = true;
}

std::vector<std::string> TakeMessages()
{
    return std::exchange(Seam().messages, {});
}

std::vector<std::string> TakeCaptions()
{
    return std::exchange(Seam().captions, {});
}

void QueueFileDialogAnswer(std::optional<std::string> path)
{
    Seam().fileAnswers.push_back(std::move(path));
}

}  // namespace PromptSeam
