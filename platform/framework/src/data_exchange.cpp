#include "framework/data_exchange.h"

#include "control_text.h"
#include "data_exchange_failure.h"
#include "framework/prompts.h"
#include "framework/wnd.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

constexpr const char* kUnsignedParseMessage = "Please enter a positive integer.";

[[noreturn]] void ProgrammingError(int controlId, const char* problem)
{
    std::fprintf(stderr, "Data exchange with control %d: %s\n", controlId, problem);
    std::fflush(stderr);
    std::abort();
}

QWidget* ControlFor(CDataExchange* pDX, int nIDC)
{
    QWidget* control = pDX->m_pDlgWnd ? pDX->m_pDlgWnd->GetDlgItem(nIDC) : nullptr;
    if (!control)
        ProgrammingError(nIDC, "the window has no such control");
    return control;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

}  // namespace

void CDataExchange::Fail(int controlId, const char* message)
{
    AfxMessageBox(message);
    if (QWidget* control = m_pDlgWnd ? m_pDlgWnd->GetDlgItem(controlId) : nullptr) {
        control->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            edit->selectAll();
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
            plain->selectAll();
    }
    throw DataExchangeFailure{controlId};
}

bool ParseUnsignedDecimal(const std::string& text, UINT& value)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    if (begin == end)
        return false;
    unsigned long long number = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + static_cast<unsigned>(c - '0');
        if (number > std::numeric_limits<UINT>::max())
            return false;
    }
    value = static_cast<UINT>(number);
    return true;
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    QWidget* control = ControlFor(pDX, nIDC);
    if (pDX->m_bSaveAndValidate)
        value = CString(ControlText(control).toStdString());
    else
        SetControlText(control, QString::fromStdString(value.str()));
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    QWidget* control = ControlFor(pDX, nIDC);
    if (!pDX->m_bSaveAndValidate) {
        SetControlText(control, QString::number(value));
        return;
    }
    UINT parsed = 0;
    if (!ParseUnsignedDecimal(ControlText(control).toStdString(), parsed))
        pDX->Fail(nIDC, kUnsignedParseMessage);
    value = parsed;
}

void DDX_Check(CDataExchange* pDX, int nIDC, BOOL& value)
{
    auto* box = qobject_cast<QCheckBox*>(ControlFor(pDX, nIDC));
    if (!box)
        ProgrammingError(nIDC, "the control is not a check box");
    if (pDX->m_bSaveAndValidate)
        value = box->isChecked() ? 1 : 0;
    else
        box->setChecked(value != 0);
}
