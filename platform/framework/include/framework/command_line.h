// The standard shell command line: no argument for a new document, a file
// name to open that file.
#pragma once

#include "runtime/cstring.h"

#include <string>
#include <vector>

class CCommandLineInfo {
public:
    enum { FileNew, FileOpen, FileNothing } m_nShellCommand = FileNew;
    CString m_strFileName;

    // Takes the arguments after the program name. Options are dealt with
    // before this (see AfxWinMain); what remains names the file.
    void ParseArguments(const std::vector<std::string>& arguments);
};
