// Template and control ids of the wizard's dialog templates
// (resources/tarvel2/wizard_dialogs.json).
#pragma once

inline constexpr unsigned IDD_RSA1 = 130;
inline constexpr unsigned IDD_RSA2 = 131;
inline constexpr unsigned IDD_RSA3 = 132;
inline constexpr unsigned IDD_RSA4 = 133;

inline constexpr int IDC_USERID = 1000;
inline constexpr int IDC_KEYLENGTH = 1001;
inline constexpr int IDC_PUBLICKEY = 1002;
inline constexpr int IDC_PRIVATEKEY = 1003;
inline constexpr int IDC_BASE = 1004;
inline constexpr int IDC_TEST = 1005;
inline constexpr int IDC_DATA = 1006;
inline constexpr int IDC_ENCODE = 1007;
inline constexpr int IDC_DECODE = 1008;
inline constexpr int IDC_FILENAME_BUTTON = 1009;
inline constexpr int IDC_FILENAME = 1010;
inline constexpr int IDC_TESTGETSET = 1011;
inline constexpr int IDC_GENTIME = 1012;
inline constexpr int IDC_ENCTIME = 1013;
inline constexpr int IDC_DECTIME = 1014;
