// What the three test dialogs share: the one component object a dialog
// tests, made as the dialog opens and released as its window goes. When the
// object cannot be made the box "<interface> failed" says so once, and every
// command that needs it says why instead of working.
#pragma once

#include "framework/dialog.h"
#include "runtime/com_ptr.h"

#include <string>
#include <tarvel/crypto.h>

// Instantiated for IUserDES, IHashSHA1 and IHashMD5 (test_object_dialog.cpp).
template <class Interface>
class CTestObjectDialog : public CDialog {
public:
    BOOL OnInitDialog() override;

protected:
    // interfaceName is how the boxes name the object ("IUserDES").
    CTestObjectDialog(UINT nIDTemplate, CWnd* pParent, const CLSID& clsid, const IID& iid, const char* interfaceName);

    void PostNcDestroy() override;

    // The object; null once the user was told there is none to test (with
    // the binding's reason, when it gave one).
    Interface* ObjectToTest();

    ComPtr<Interface> m_object;

private:
    CLSID m_clsid;
    IID m_iid;
    const char* m_interfaceName;
    std::string m_creationError;  // why the object is missing, if it is
};
