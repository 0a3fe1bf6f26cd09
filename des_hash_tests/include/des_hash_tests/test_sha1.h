// The SHA-1 of a file the user picks: the file is mapped whole and hashed in
// one call; the digest, the elapsed milliseconds and the size are shown.
#pragma once

#include "des_hash_tests/test_object_dialog.h"

class CTestSHA1 : public CTestObjectDialog<IHashSHA1> {
public:
    explicit CTestSHA1(CWnd* pParent);

    CString m_FileName;  // IDC_FILENAME
    CString m_Result;    // IDC_RESULT
    CString m_Time;      // IDC_TIME

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnFileName();

    // The tested object by the name the dialog's code and its subclasses
    // have always used.
    ComPtr<IHashSHA1>& m_pSHA1 = m_object;

private:
    // Hashes the file named by m_FileName into m_Result and m_Time. Returns
    // the text to show the user when that could not be done (the two texts
    // are then left empty), or "" on success.
    CString HashChosenFile();
};
