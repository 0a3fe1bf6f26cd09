// Command targets: objects that answer menu, toolbar and accelerator commands
// by id. The frame offers a command to the view, the document, itself and
// the application, in that order; a command that none of them maps is shown
// disabled and its keys do nothing.
#pragma once

#include "framework/afx_types.h"

#include <functional>
#include <map>

class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    bool HasCommandHandler(UINT nID) const { return m_commands.count(nID) != 0; }
    // Runs the handler mapped to nID; false when this target maps none.
    bool RunCommandHandler(UINT nID);

protected:
    // Message map entry: command nID runs handler.
    template <class T>
    void MapCommand(UINT nID, void (T::*handler)())
    {
        T* self = static_cast<T*>(this);
        m_commands[nID] = [self, handler] { (self->*handler)(); };
    }
    // Message map entry for a range of commands; the handler gets the id and
    // returns whether it handled it.
    template <class T>
    void MapCommandRange(UINT first, UINT last, BOOL (T::*handler)(UINT))
    {
        T* self = static_cast<T*>(this);
        for (UINT id = first; id <= last; ++id)
            m_commands[id] = [self, handler, id] { (self->*handler)(id); };
    }

private:
    std::map<UINT, std::function<void()>> m_commands;
};
