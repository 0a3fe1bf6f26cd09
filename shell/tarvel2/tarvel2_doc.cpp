#include "tarvel2/tarvel2_doc.h"

BOOL CTarvel2Doc::OnNewDocument()
{
    return CDocument::OnNewDocument() ? TRUE : FALSE;
}

void CTarvel2Doc::Serialize(CArchive&)
{
    // Nothing to store or load: any file opens as the same empty document.
}
