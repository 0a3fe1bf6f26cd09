#include "tarvel3/tarvel3_view.h"

#include "des_hash_tests/test_des.h"
#include "des_hash_tests/test_md5.h"
#include "des_hash_tests/test_sha1.h"

CTarvel3View::CTarvel3View()
{
    MapCommand(ID_TEST_DES, &CTarvel3View::OnTestDes);
    MapCommand(ID_TEST_MD5, &CTarvel3View::OnTestMd5);
    MapCommand(ID_TEST_SHA1, &CTarvel3View::OnTestSha1);
}

void CTarvel3View::OnDraw(CDC*) {}

void CTarvel3View::OnTestDes()
{
    CTestDES dlg(this);
    dlg.DoModal();
}

void CTarvel3View::OnTestMd5()
{
    CTestMD5 dlg(this);
    dlg.DoModal();
}

void CTarvel3View::OnTestSha1()
{
    CTestSHA1 dlg(this);
    dlg.DoModal();
}
