#include "des_hash_tests/test_des.h"
#include "des_hash_tests/test_md5.h"
#include "des_hash_tests/test_sha1.h"

CTestDES::CTestDES(CWnd* pParent) : CDialog(130, pParent) {}
CTestSHA1::CTestSHA1(CWnd* pParent) : CDialog(131, pParent) {}
CTestMD5::CTestMD5(CWnd* pParent) : CDialog(132, pParent) {}
