#include "des_hash_tests/test_object_dialog.h"

#include "framework/prompts.h"
#include "runtime/object_binding.h"
#include "runtime/cstring.h"

template <class Interface>
CTestObjectDialog<Interface>::CTestObjectDialog(UINT nIDTemplate, CWnd* pParent, const CLSID& clsid, const IID& iid,
                                                const char* interfaceName)
    : CDialog(nIDTemplate, pParent), m_clsid(clsid), m_iid(iid), m_interfaceName(interfaceName)
{
}

template <class Interface>
BOOL CTestObjectDialog<Interface>::OnInitDialog()
{
    CDialog::OnInitDialog();

    const HRESULT hr = CoCreateInstance(m_clsid, nullptr, CLSCTX_INPROC_SERVER, m_iid, m_object.Put());
    if (FAILED(hr) || !m_object) {
        m_creationError = FAILED(hr) ? CoLastErrorText() : "The component reported success but gave no object.";
        m_object.Release();
        AfxMessageBox(CString(m_interfaceName) + " failed", MB_OK);
    }
    return TRUE;
}

template <class Interface>
void CTestObjectDialog<Interface>::PostNcDestroy()
{
    m_object.Release();
    CDialog::PostNcDestroy();
}

template <class Interface>
Interface* CTestObjectDialog<Interface>::ObjectToTest()
{
    if (m_object)
        return m_object.Get();
    CString text;
    if (m_creationError.empty())
        text.Format("The %s object could not be created, so there is nothing to test.", m_interfaceName);
    else
        text.Format("The %s object could not be created, so there is nothing to test.\n%s", m_interfaceName,
                    m_creationError.c_str());
    AfxMessageBox(text, MB_OK);
    return nullptr;
}

template class CTestObjectDialog<IUserDES>;
template class CTestObjectDialog<IHashSHA1>;
template class CTestObjectDialog<IHashMD5>;
