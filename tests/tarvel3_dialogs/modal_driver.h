// Runs a dialog modally, as the view does, and ends it the way a user would
// once it is on screen.
#pragma once

#include "framework/dialog.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTimer>
#include <functional>

enum class DialogEnd { OkButton, EscapeKey, CloseBox };

inline const char* NameOf(DialogEnd end)
{
    switch (end) {
    case DialogEnd::OkButton:
        return "OK button";
    case DialogEnd::EscapeKey:
        return "Escape key";
    case DialogEnd::CloseBox:
        return "close box";
    }
    return "?";
}

// DoModal on dialog; while it runs, inside it does whatever the test wants
// (clicks, reads) and then the dialog is ended by end. Returns DoModal's
// result.
inline INT_PTR RunModal(CDialog& dialog, DialogEnd end, const std::function<void()>& inside = {})
{
    QTimer::singleShot(0, [&dialog, end, inside] {
        QWidget* window = dialog.GetSafeHwnd();
        if (!window)
            return;  // ended during its initialisation
        if (inside)
            inside();
        switch (end) {
        case DialogEnd::OkButton:
            if (auto* ok = qobject_cast<QAbstractButton*>(dialog.GetDlgItem(IDOK)))
                ok->click();
            break;
        case DialogEnd::EscapeKey: {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(window, &press);
            break;
        }
        case DialogEnd::CloseBox:
            window->close();
            break;
        }
    });
    return dialog.DoModal();
}
