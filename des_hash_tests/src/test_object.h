// The component object a test dialog tests: made as the dialog opens, and
// what the dialog says when it could not be made. A failed call is told by
// harness::FailureText.
#pragma once

#include "framework/prompts.h"
#include "runtime/object_binding.h"
#include "runtime/com_ptr.h"
#include "runtime/cstring.h"

#include <string>

// Makes the object of clsid through the binding. On failure the object stays
// empty, the binding's reason is kept in creationError for NoObjectText, and
// the box "<interfaceName> failed" is shown. True when there is an object.
template <class Interface>
bool CreateTestObject(const CLSID& clsid, const IID& iid, const char* interfaceName, ComPtr<Interface>& object,
                      std::string& creationError)
{
    const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object.Put());
    if (SUCCEEDED(hr) && object)
        return true;
    creationError = FAILED(hr) ? CoLastErrorText() : "The component reported success but gave no object.";
    object.Release();
    AfxMessageBox(CString(interfaceName) + " failed", MB_OK);
    return false;
}

// Said by a command that needs the object the dialog could not create;
// creationError is the binding's reason, if it gave one.
CString NoObjectText(const char* interfaceName, const std::string& creationError);
