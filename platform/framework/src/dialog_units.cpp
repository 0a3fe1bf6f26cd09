#include "dialog_units.h"

#include "framework/resources.h"

#include <QApplication>
#include <QFontMetrics>

#include <algorithm>
#include <cmath>

QFont DialogFont(const DialogTemplate& dialogTemplate)
{
    QFont font = QApplication::font();
    if (dialogTemplate.pointSize > 0)
        font.setPointSize(dialogTemplate.pointSize);
    return font;
}

DialogUnits::DialogUnits(const QFont& font)
{
    static const QString kAlphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QFontMetrics metrics(font);
    const double average = metrics.horizontalAdvance(kAlphabet) / 52.0;
    m_avgCharWidth = std::max(1, static_cast<int>(std::lround(average)));
    m_charHeight = std::max(1, metrics.height());
}

int DialogUnits::ToPixelsX(int units) const
{
    return (units * m_avgCharWidth + 2) / 4;
}

int DialogUnits::ToPixelsY(int units) const
{
    return (units * m_charHeight + 4) / 8;
}

QRect DialogUnits::ToPixels(int x, int y, int cx, int cy) const
{
    return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(cx), ToPixelsY(cy));
}

QSize DialogPixelSize(const DialogTemplate& dialogTemplate)
{
    const DialogUnits units(DialogFont(dialogTemplate));
    return QSize(units.ToPixelsX(dialogTemplate.cx), units.ToPixelsY(dialogTemplate.cy));
}
