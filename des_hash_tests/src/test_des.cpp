#include "des_hash_tests/test_des.h"

#include "des_hash_tests/random_dword.h"
#include "des_hash_tests/test_dialog_resource_ids.h"

#include "harness/failure_text.h"
#include "harness/des_round_trip.h"

#include "common/hex_format.h"
#include "runtime/object_binding.h"
#include "framework/data_exchange.h"
#include "framework/prompts.h"
#include "runtime/runtime.h"

#include <cstdint>

using namespace tarvel3_ids;

CTestDES::CTestDES(CWnd* pParent) : CTestObjectDialog(IDD_TESTDES, pParent, CLSID_UserDES, IID_IUserDES, "IUserDES")
{
    OnButtonClicked(IDC_TEST, &CTestDES::OnTest);
}

void CTestDES::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_DATA, m_Data);
    DDX_Text(pDX, IDC_DECODE, m_Decode);
    DDX_Text(pDX, IDC_ENCODE, m_Encode);
    DDX_Text(pDX, IDC_KEY, m_Key);
}

BOOL CTestDES::OnInitDialog()
{
    CTestObjectDialog::OnInitDialog();
    if (m_object)
        crt::srand(GetTickCount());
    return TRUE;
}

void CTestDES::OnTest()
{
    IUserDES* des = ObjectToTest();
    if (!des)
        return;

    harness::DesWords key;
    harness::DesWords block;
    key[0] = RandomDword();
    key[1] = RandomDword();
    block[0] = RandomDword();
    block[1] = RandomDword();
    m_Key = FormatHex(key.data(), 2);
    m_Data = FormatHex(block.data(), 2);
    m_Encode.Empty();
    m_Decode.Empty();

    const harness::DesRoundTrip trip = harness::RunDesRoundTrip(*des, key, block);
    if (trip.encoded)
        m_Encode = FormatHex(trip.encoded->data(), 2);
    if (trip.decoded)
        m_Decode = FormatHex(trip.decoded->data(), 2);

    UpdateData(FALSE);
    if (trip.failure)
        AfxMessageBox(CString(harness::FailureText(*trip.failure)), MB_OK);
}
