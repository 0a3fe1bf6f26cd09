// Dialog templates measure in dialog units, which scale with the dialog's
// font: a horizontal unit is a quarter of the font's average character width,
// a vertical unit an eighth of its height.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

struct DialogTemplate;

// The font a template asks for. Its named faces do not exist here, so the
// desktop's default family is used at the template's point size.
QFont DialogFont(const DialogTemplate& dialogTemplate);

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    QRect ToPixels(int x, int y, int cx, int cy) const;

private:
    int m_avgCharWidth;
    int m_charHeight;
};

// The pixel size of a template's window.
QSize DialogPixelSize(const DialogTemplate& dialogTemplate);
