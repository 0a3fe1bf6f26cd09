// Template and control ids of Tarvel3's test dialogs
// (resources/tarvel3/test_dialogs.json). The three dialogs share one set of
// control ids: the Test button, the Data and the Result texts have the same
// id in every dialog that has them. They live in a namespace of their own
// because the wizard's ids (wizard_resource_ids.h) reuse the same names with
// other numbers, and a program may see both.
#pragma once

namespace tarvel3_ids {

inline constexpr unsigned IDD_TESTDES = 130;
inline constexpr unsigned IDD_TESTSHA1 = 131;
inline constexpr unsigned IDD_TESTMD5 = 132;

inline constexpr int IDC_TEST = 1000;             // DES, MD5: run one test
inline constexpr int IDC_KEY = 1001;              // DES
inline constexpr int IDC_DATA = 1002;             // DES, MD5
inline constexpr int IDC_ENCODE = 1003;           // DES
inline constexpr int IDC_DECODE = 1004;           // DES
inline constexpr int IDC_FILENAME_BUTTON = 1005;  // SHA-1: choose and hash a file
inline constexpr int IDC_FILENAME = 1006;         // SHA-1
inline constexpr int IDC_RESULT = 1007;           // SHA-1, MD5: the digest
inline constexpr int IDC_TIME = 1009;             // SHA-1

}  // namespace tarvel3_ids
