#include "des_hash_tests/test_des.h"

#include "des_hash_tests/random_dword.h"
#include "failure_text.h"

#include "common/hex_format.h"
#include "platform/com.h"
#include "platform/data_exchange.h"
#include "platform/prompts.h"
#include "platform/runtime.h"

#include <cstdint>

CTestDES::CTestDES(CWnd* pParent) : CDialog(130, pParent)
{
    OnButtonClicked(1000, &CTestDES::OnTest);
}

void CTestDES::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, 1002, m_Data);
    DDX_Text(pDX, 1004, m_Decode);
    DDX_Text(pDX, 1003, m_Encode);
    DDX_Text(pDX, 1001, m_Key);
}

BOOL CTestDES::OnInitDialog()
{
    CDialog::OnInitDialog();

    const HRESULT hr = CoCreateInstance(CLSID_UserDES, nullptr, CLSCTX_INPROC_SERVER, IID_IUserDES, m_pDES.Put());
    if (FAILED(hr) || !m_pDES) {
        m_creationError = FAILED(hr) ? CoLastErrorText() : "The component reported success but gave no object.";
        m_pDES.Release();
        AfxMessageBox("IUserDES failed", MB_OK);
        return TRUE;
    }
    crt::srand(GetTickCount());
    return TRUE;
}

void CTestDES::OnTest()
{
    if (!m_pDES) {
        AfxMessageBox(NoObjectText("IUserDES", m_creationError), MB_OK);
        return;
    }

    std::uint32_t key[2];
    std::uint32_t block[2];
    key[0] = RandomDword();
    key[1] = RandomDword();
    block[0] = RandomDword();
    block[1] = RandomDword();
    m_Key = FormatHex(key, 2);
    m_Data = FormatHex(block, 2);
    m_Encode.Empty();
    m_Decode.Empty();

    // A failed call leaves the block in no known state: nothing from that
    // step on is shown as a result.
    CString failure;
    if (HRESULT hr = m_pDES->SetKey(key); FAILED(hr)) {
        failure = CallFailedText("IUserDES::SetKey", hr);
    } else if (hr = m_pDES->Encrypt(block); FAILED(hr)) {
        failure = CallFailedText("IUserDES::Encrypt", hr);
    } else {
        m_Encode = FormatHex(block, 2);
        if (hr = m_pDES->Decrypt(block); FAILED(hr))
            failure = CallFailedText("IUserDES::Decrypt", hr);
        else
            m_Decode = FormatHex(block, 2);
    }

    UpdateData(FALSE);
    if (!failure.IsEmpty())
        AfxMessageBox(failure, MB_OK);
}

void CTestDES::OnOK()
{
    CDialog::OnOK();
}

void CTestDES::PostNcDestroy()
{
    m_pDES.Release();
    CDialog::PostNcDestroy();
}
