// The desktop's own style, except that the tool-bar extension icons are read
// only when one is first drawn.
//
// QMenuBar's constructor asks the style for its extension button's icon, and
// the style reads it through QIcon::addFile, which asks every image plugin
// about the file and so loads them all (gif, ico, jpeg and libjpeg) at
// start-up, for a button that shows only when a bar overflows. Every other
// image of the programs is a PNG read by name.
#pragma once

#include <QProxyStyle>

class OnDemandIconStyle : public QProxyStyle {
public:
    // key names the style to wrap, as QStyleFactory knows it.
    explicit OnDemandIconStyle(const QString& key) : QProxyStyle(key) {}

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};
