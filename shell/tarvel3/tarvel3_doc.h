// The Tarvel3 document: holds nothing; the work happens in the dialogs.
#pragma once

#include "shell/empty_doc.h"

class CTarvel3Doc : public CEmptyDoc {
public:
    static constexpr const char* kClassName = "CTarvel3Doc";
};
