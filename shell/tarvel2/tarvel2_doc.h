// The Tarvel2 document: holds nothing; the work happens in the wizard.
#pragma once

#include "framework/document.h"

class CTarvel2Doc : public CDocument {
public:
    static constexpr const char* kClassName = "CTarvel2Doc";

    BOOL OnNewDocument() override;
    void Serialize(CArchive& ar) override;
};
