#include "framework/shell_tables.h"

#include "framework/resources.h"

const std::vector<MenuItemTemplate>* LoadMenuTemplate(UINT nID)
{
    return AfxGetResources().FindMenu(nID);
}

const std::vector<AcceleratorTemplate>* LoadAcceleratorTable(UINT nID)
{
    return AfxGetResources().FindAccelerators(nID);
}

const ToolBarTemplate* LoadToolBarTemplate(UINT nID)
{
    return AfxGetResources().FindToolBar(nID);
}

const VersionBlock* LoadVersionBlock()
{
    return AfxGetResources().Version();
}

CommandStrings LoadCommandStrings(UINT nID)
{
    const std::string text = AfxGetResources().LoadString(static_cast<int>(nID));
    const auto newline = text.find('\n');
    if (newline == std::string::npos)
        return {text, {}};
    return {text.substr(0, newline), text.substr(newline + 1)};
}
