#include "framework/command_line.h"

void CCommandLineInfo::ParseArguments(const std::vector<std::string>& arguments)
{
    m_nShellCommand = FileNew;
    m_strFileName.Empty();
    for (const std::string& argument : arguments) {
        m_strFileName = CString(argument);
        m_nShellCommand = FileOpen;
    }
}
