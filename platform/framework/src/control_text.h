// The text of a control, whatever widget stands for it, as the framework's
// window text: labels keep their "&" mnemonic marks, edits their plain text.
#pragma once

#include <QString>

class QWidget;

QString ControlText(const QWidget* control);
void SetControlText(QWidget* control, const QString& text);
