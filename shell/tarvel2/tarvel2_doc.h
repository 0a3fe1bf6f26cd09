// The Tarvel2 document: holds nothing; the work happens in the wizard.
#pragma once

#include "shell/empty_doc.h"

class CTarvel2Doc : public CEmptyDoc {
public:
    static constexpr const char* kClassName = "CTarvel2Doc";
};
