// Message maps: a command or control id to the handler that runs for it.
#pragma once

#include <functional>
#include <map>

// Runs the handler mapped to id; false when there is none. The handler is
// copied first: it may change the map, or replace the document or view that
// mapped it, while it runs.
template <class Id>
bool RunMappedHandler(const std::map<Id, std::function<void()>>& handlers, Id id)
{
    const auto it = handlers.find(id);
    if (it == handlers.end())
        return false;
    const std::function<void()> handler = it->second;
    handler();
    return true;
}
