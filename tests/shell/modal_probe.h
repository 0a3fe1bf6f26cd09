// Runs something that opens a modal window, and closes that window as soon
// as it is up, after letting the test look at it.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Calls open(); once a modal window is up, calls look(window) and closes the
// window unless look already ended it. Returns whether a modal window was
// seen at all.
inline bool WithModalWindow(const std::function<void()>& open, const std::function<void(QWidget*)>& look)
{
    struct State {
        bool seen = false;
        bool done = false;
        std::function<void(QWidget*)> look;
    };
    auto state = std::make_shared<State>();
    state->look = look;
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [state, poll]() {
        if (state->done)
            return;
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            QTimer::singleShot(5, *poll);
            return;
        }
        state->seen = true;
        state->done = true;
        state->look(modal);
        if (QApplication::activeModalWidget() == modal)
            modal->close();
    };
    QTimer::singleShot(0, *poll);
    open();
    state->done = true;
    *poll = nullptr;
    return state->seen;
}
