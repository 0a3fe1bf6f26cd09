#include "on_demand_icon_style.h"

#include <QIconEngine>
#include <QPainter>

namespace {

// Asks the style for the icon when it is first wanted, then answers from it.
class OnDemandIconEngine : public QIconEngine {
public:
    OnDemandIconEngine(const QStyle* style, QStyle::StandardPixmap which) : m_style(style), m_which(which) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().actualSize(size, mode, state);
    }
    QIconEngine* clone() const override { return new OnDemandIconEngine(*this); }

private:
    const QIcon& Icon()
    {
        // The style outlives every icon it hands out: it is the application's
        // until the application ends.
        if (!m_loaded) {
            m_icon = m_style->standardIcon(m_which);
            m_loaded = true;
        }
        return m_icon;
    }

    const QStyle* m_style;
    QStyle::StandardPixmap m_which;
    QIcon m_icon;
    bool m_loaded = false;
};

}  // namespace

QIcon OnDemandIconStyle::standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const
{
    if (which == SP_ToolBarHorizontalExtensionButton || which == SP_ToolBarVerticalExtensionButton)
        return QIcon(new OnDemandIconEngine(baseStyle(), which));
    return QProxyStyle::standardIcon(which, option, widget);
}
