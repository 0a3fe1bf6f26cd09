// The document of both programs: it holds nothing, as the work happens in the
// wizard or the dialogs; each program names its own class on it.
#pragma once

#include "framework/document.h"

class CEmptyDoc : public CDocument {
public:
    BOOL OnNewDocument() override;
    // Nothing to store or load: any file opens as the same empty document.
    void Serialize(CArchive& ar) override;
};
