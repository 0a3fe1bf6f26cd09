// The Tarvel2 view: the form of dialog 101. Each time the document starts
// afresh its initial update runs the RSA wizard.
#pragma once

#include "framework/view.h"

inline constexpr UINT IDD_TARVEL2_FORM = 101;

class CTarvel2View : public CFormView {
public:
    static constexpr const char* kClassName = "CTarvel2View";

    CTarvel2View();

    // Window creation, the form's (empty) data exchange and printing are
    // the framework's own.
    void OnInitialUpdate() override;

    // What the initial update runs after the form is filled: the RSA wizard
    // unless replaced (null restores it). Whoever drives the program without
    // a user (the screenshot tool, the shell tests) puts its own action here,
    // as the wizard is modal.
    using InitialUpdateHook = void (*)(CWnd* pView);
    static void ReplaceInitialUpdateAction(InitialUpdateHook hook);
};
