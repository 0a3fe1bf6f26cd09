#include "framework/cmd_target.h"

bool CCmdTarget::RunCommandHandler(UINT nID)
{
    const auto it = m_commands.find(nID);
    if (it == m_commands.end())
        return false;
    // Copied: the handler may replace the document or view that maps it.
    const std::function<void()> handler = it->second;
    handler();
    return true;
}
