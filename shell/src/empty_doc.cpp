#include "shell/empty_doc.h"

BOOL CEmptyDoc::OnNewDocument()
{
    return CDocument::OnNewDocument() ? TRUE : FALSE;
}

void CEmptyDoc::Serialize(CArchive&) {}
