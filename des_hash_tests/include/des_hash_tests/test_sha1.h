// The SHA-1 of a file the user picks: the file is mapped whole and hashed in
// one call; the digest, the elapsed milliseconds and the size are shown.
#pragma once

#include "runtime/com_ptr.h"
#include "framework/dialog.h"

#include <string>
#include <tarvel/crypto.h>

class CTestSHA1 : public CDialog {
public:
    explicit CTestSHA1(CWnd* pParent);

    CString m_FileName;  // IDC_FILENAME
    CString m_Result;    // IDC_RESULT
    CString m_Time;      // IDC_TIME

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void PostNcDestroy() override;

public:
    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnFileName();

    ComPtr<IHashSHA1> m_pSHA1;

private:
    // Hashes the file named by m_FileName into m_Result and m_Time. Returns
    // the text to show the user when that could not be done (the two texts
    // are then left empty), or "" on success.
    CString HashChosenFile();

    std::string m_creationError;  // why the object is missing, if it is
};
