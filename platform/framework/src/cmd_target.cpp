#include "framework/cmd_target.h"

#include "handler_map.h"

bool CCmdTarget::RunCommandHandler(UINT nID)
{
    return RunMappedHandler(m_commands, nID);
}
