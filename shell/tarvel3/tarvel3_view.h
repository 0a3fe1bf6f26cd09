// The Tarvel3 view: draws nothing and answers the three test commands of the
// toolbar, each with its modal dialog.
#pragma once

#include "framework/view.h"

inline constexpr UINT ID_TEST_DES = 32771;
inline constexpr UINT ID_TEST_SHA1 = 32773;
inline constexpr UINT ID_TEST_MD5 = 32774;

class CTarvel3View : public CView {
public:
    static constexpr const char* kClassName = "CTarvel3View";

    CTarvel3View();

    // Draws nothing; window creation and printing are the framework's own.
    void OnDraw(CDC* pDC) override;

    void OnTestDes();
    void OnTestMd5();
    void OnTestSha1();
};
