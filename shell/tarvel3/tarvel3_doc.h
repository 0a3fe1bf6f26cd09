// The Tarvel3 document: holds nothing; the work happens in the dialogs.
#pragma once

#include "framework/document.h"

class CTarvel3Doc : public CDocument {
public:
    static constexpr const char* kClassName = "CTarvel3Doc";

    BOOL OnNewDocument() override;
    void Serialize(CArchive& ar) override;
};
