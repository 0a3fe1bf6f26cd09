#include "tarvel3/tarvel3_doc.h"

BOOL CTarvel3Doc::OnNewDocument()
{
    return CDocument::OnNewDocument() ? TRUE : FALSE;
}

void CTarvel3Doc::Serialize(CArchive&)
{
    // Nothing to store or load: any file opens as the same empty document.
}
