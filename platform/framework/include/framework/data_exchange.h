// Dialog data exchange: moving field values into controls and back, found by
// control id, in the order a DoDataExchange names them.
#pragma once

#include "framework/afx_types.h"
#include "runtime/cstring.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dlgWnd, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dlgWnd) {}

    BOOL m_bSaveAndValidate;  // TRUE: controls to fields
    CWnd* m_pDlgWnd;

    // Reports that the control being read does not parse: shows the message,
    // puts the focus in that control and abandons the exchange.
    [[noreturn]] void Fail(int controlId, const char* message);
};

// Text of an edit or static control.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Unsigned decimal number: optional surrounding blanks, digits, at most 4294967295.
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
// Check box state: 1 checked, 0 clear.
void DDX_Check(CDataExchange* pDX, int nIDC, BOOL& value);

// The parse rule of the unsigned exchange, for callers that validate text.
bool ParseUnsignedDecimal(const std::string& text, UINT& value);
