#include "control_factory.h"

#include "dialog_units.h"
#include "png_image.h"
#include "framework/resources.h"

#include <algorithm>

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QString TextOf(const ControlTemplate& control)
{
    return QString::fromStdString(control.text);
}

QWidget* CreatePushButton(const ControlTemplate& control, QWidget* window)
{
    auto* button = new QPushButton(TextOf(control), window);
    const bool isDefault = control.kind == "defpushbutton";
    button->setAutoDefault(isDefault);
    button->setDefault(isDefault);
    return button;
}

QWidget* CreateLabel(const ControlTemplate& control, QWidget* window)
{
    auto* label = new QLabel(window);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setText(TextOf(control));
    return label;
}

QWidget* CreateEdit(const ControlTemplate& control, QWidget* window)
{
    const bool readOnly = control.HasStyle("readonly");
    if (control.HasStyle("multiline")) {
        auto* edit = new QPlainTextEdit(window);
        edit->setReadOnly(readOnly);
        edit->setVerticalScrollBarPolicy(control.HasStyle("vscroll") ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        const bool scrollsSideways = control.HasStyle("hscroll") || control.HasStyle("autohscroll");
        edit->setLineWrapMode(scrollsSideways ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
        edit->setHorizontalScrollBarPolicy(control.HasStyle("hscroll") ? Qt::ScrollBarAlwaysOn
                                                                       : Qt::ScrollBarAlwaysOff);
        if (!control.HasStyle("border"))
            edit->setFrameShape(QFrame::NoFrame);
        edit->setTabChangesFocus(true);
        return edit;
    }
    auto* edit = new QLineEdit(window);
    edit->setReadOnly(readOnly);
    edit->setFrame(control.HasStyle("border"));
    return edit;
}

QWidget* CreateCheckBox(const ControlTemplate& control, QWidget* window)
{
    return new QCheckBox(TextOf(control), window);
}

// The icon's number names an image of the program's resources; without one
// the control stays an empty space.
QWidget* CreateIcon(const ControlTemplate& control, QWidget* window)
{
    auto* label = new QLabel(window);
    const QString path =
        QStringLiteral("%1/icons/%2.png").arg(QString::fromStdString(AfxGetResources().Folder()), TextOf(control));
    const QPixmap pixmap = ReadPng(path);
    if (!pixmap.isNull())
        label->setPixmap(pixmap);
    return label;
}

QWidget* CreateControl(const ControlTemplate& control, QWidget* window)
{
    if (control.kind == "defpushbutton" || control.kind == "pushbutton")
        return CreatePushButton(control, window);
    if (control.kind == "edit")
        return CreateEdit(control, window);
    if (control.kind == "autocheckbox")
        return CreateCheckBox(control, window);
    if (control.kind == "icon")
        return CreateIcon(control, window);
    return CreateLabel(control, window);
}

// A label's "&x" moves the focus to the control after it, as its mnemonic.
void ConnectMnemonics(const DialogTemplate& dialogTemplate, const QList<QWidget*>& widgets)
{
    for (qsizetype i = 0; i < widgets.size(); ++i) {
        const ControlTemplate& control = dialogTemplate.controls[static_cast<std::size_t>(i)];
        if (control.kind != "ltext" || control.HasStyle("noprefix") || control.text.find('&') == std::string::npos)
            continue;
        for (qsizetype next = i + 1; next < widgets.size(); ++next) {
            if (widgets[next]->focusPolicy() != Qt::NoFocus) {
                static_cast<QLabel*>(widgets[i])->setBuddy(widgets[next]);
                break;
            }
        }
    }
}

// Templates were laid out for a font whose capitals are narrower than those
// of today's desktop fonts, so a one-line label can come out a little too
// short and wrap its last word out of sight. Such a label keeps to one line
// and grows to its text, as far as the dialog's edge.
void FitOneLineLabel(QWidget* widget, int dialogWidth)
{
    auto* label = qobject_cast<QLabel*>(widget);
    if (!label || !label->wordWrap() || label->text().isEmpty())
        return;
    const QFontMetrics metrics(label->font());
    const QRect rect = label->geometry();
    if (rect.height() >= 2 * metrics.height())
        return;
    const int needed = metrics.horizontalAdvance(label->text()) + 2;
    if (needed <= rect.width())
        return;
    label->setWordWrap(false);
    const int room = dialogWidth > rect.x() ? dialogWidth - rect.x() : rect.width();
    label->resize(std::max(rect.width(), std::min(needed, room)), rect.height());
}

}  // namespace

QList<QWidget*> CreateTemplateControls(const DialogTemplate& dialogTemplate, QWidget* window, const DialogUnits& units)
{
    QList<QWidget*> widgets;
    for (const ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = CreateControl(control, window);
        if (control.id >= 0)
            widget->setObjectName(QString::number(control.id));
        widget->setGeometry(units.ToPixels(control.x, control.y, control.cx, control.cy));
        FitOneLineLabel(widget, units.ToPixelsX(dialogTemplate.cx));
        widgets << widget;
    }
    ConnectMnemonics(dialogTemplate, widgets);
    return widgets;
}
