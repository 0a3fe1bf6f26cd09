// Reading what the frame shows: menus, keys, toolbar buttons and status bar
// panes, as text that the tests compare with what a user should see.
#pragma once

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>
#include <string>
#include <vector>

inline unsigned CommandOf(const QObject* object)
{
    return object->property("commandId").toUInt();
}

// One line per visible entry: "[popup]", "-" for a separator, or
// "text id", with " (off)" when it is disabled.
inline std::vector<std::string> MenuLayout(QMainWindow* window)
{
    std::vector<std::string> lines;
    for (QAction* popup : window->menuBar()->actions()) {
        lines.push_back("[" + popup->text().toStdString() + "]");
        for (QAction* item : popup->menu()->actions()) {
            if (!item->isVisible())
                continue;
            if (item->isSeparator()) {
                lines.push_back("-");
                continue;
            }
            std::string line = item->text().toStdString() + " " + std::to_string(CommandOf(item));
            if (!item->isEnabled())
                line += " (off)";
            lines.push_back(line);
        }
    }
    return lines;
}

inline QMenu* Popup(QMainWindow* window, const QString& text)
{
    for (QAction* popup : window->menuBar()->actions())
        if (popup->text() == text)
            return popup->menu();
    return nullptr;
}

// "key id" for every accelerator of the window, in table order.
inline std::vector<std::string> AcceleratorLayout(QMainWindow* window)
{
    std::vector<std::string> lines;
    for (QShortcut* shortcut : window->findChildren<QShortcut*>(Qt::FindDirectChildrenOnly))
        lines.push_back(shortcut->key().toString(QKeySequence::PortableText).toStdString() + " " +
                        std::to_string(CommandOf(shortcut)));
    return lines;
}

inline QToolBar* MainToolBar(QMainWindow* window)
{
    return window->findChild<QToolBar*>();
}

// "id tooltip | prompt" per button, "-" per separator, " (off)" when disabled.
inline std::vector<std::string> ToolBarLayout(QToolBar* toolbar)
{
    std::vector<std::string> lines;
    for (QAction* action : toolbar->actions()) {
        if (action->isSeparator()) {
            lines.push_back("-");
            continue;
        }
        std::string line = std::to_string(CommandOf(action)) + " " + action->toolTip().toStdString() + " | " +
                           action->statusTip().toStdString();
        if (!action->isEnabled())
            line += " (off)";
        lines.push_back(line);
    }
    return lines;
}

inline QAction* ToolBarAction(QToolBar* toolbar, unsigned command)
{
    for (QAction* action : toolbar->actions())
        if (!action->isSeparator() && CommandOf(action) == command)
            return action;
    return nullptr;
}

// The panes of the status bar from left to right: the label texts, with the
// indicator panes' objectName (their id) in brackets.
inline std::vector<QLabel*> StatusPanes(QMainWindow* window)
{
    std::vector<QLabel*> panes;
    for (QLabel* label : window->statusBar()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        panes.push_back(label);
    std::sort(panes.begin(), panes.end(), [](QLabel* a, QLabel* b) { return a->x() < b->x(); });
    return panes;
}
