#include "framework/control_bars.h"

#include "lock_keys.h"
#include "png_image.h"
#include "framework/afx_commands.h"
#include "framework/frame.h"
#include "framework/resources.h"
#include "framework/shell_tables.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QStatusBar>
#include <QToolBar>

#include <functional>

namespace {

// Refreshes the lock indicators whenever a key goes up or down or the
// program gains the focus, the moments their state can have changed.
class LockKeyWatcher : public QObject {
public:
    LockKeyWatcher(QObject* parent, std::function<void()> refresh) : QObject(parent), m_refresh(std::move(refresh))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ApplicationActivate:
            m_refresh();
            break;
        default:
            break;
        }
        return false;
    }

private:
    std::function<void()> m_refresh;
};

// A new bar widget of the frame's main window, named by the bar's id; null
// when the frame has no window yet.
template <class Bar>
Bar* NewBarWidget(CFrameWnd* pParentWnd, UINT nID)
{
    QMainWindow* window = pParentWnd ? pParentWnd->GetMainWindow() : nullptr;
    if (!window)
        return nullptr;
    auto* bar = new Bar(window);
    bar->setObjectName(QString::number(nID));
    return bar;
}

}  // namespace

CControlBar::~CControlBar()
{
    delete m_widget.data();
}

BOOL CControlBar::CreateBar(CFrameWnd* pParentWnd, QWidget* widget, DWORD dwStyle, UINT nID)
{
    m_pFrame = pParentWnd;
    m_widget = widget;
    m_nID = nID;
    m_dwStyle = dwStyle;
    widget->setVisible((dwStyle & WS_VISIBLE) != 0);
    pParentWnd->AddControlBar(this);
    return TRUE;
}

void CControlBar::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle;
}

bool CControlBar::IsVisible() const
{
    return m_widget && !m_widget->isHidden();
}

void CControlBar::SetVisible(bool visible)
{
    if (m_widget)
        m_widget->setVisible(visible);
}

BOOL CToolBar::Create(CFrameWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    auto* toolbar = NewBarWidget<QToolBar>(pParentWnd, nID);
    if (!toolbar)
        return FALSE;
    toolbar->setWindowTitle(QStringLiteral("Toolbar"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    pParentWnd->GetMainWindow()->addToolBar(Qt::TopToolBarArea, toolbar);
    return CreateBar(pParentWnd, toolbar, dwStyle, nID);
}

QToolBar* CToolBar::GetToolBar() const
{
    return static_cast<QToolBar*>(GetWidget());
}

BOOL CToolBar::LoadToolBar(UINT nIDResource)
{
    QToolBar* toolbar = GetToolBar();
    const auto layout = LoadToolBarTemplate(nIDResource);
    if (!toolbar || !layout)
        return FALSE;
    const QString folder = QString::fromStdString(AfxGetResources().Folder());
    const QPixmap strip = ReadPng(folder + QLatin1Char('/') + QString::fromStdString(layout->image));
    if (strip.isNull())
        return FALSE;
    const int width = layout->buttonWidth;
    const int height = layout->buttonHeight;
    toolbar->setIconSize(QSize(width, height));
    int image = 0;
    for (UINT id : layout->items) {
        if (id == ID_SEPARATOR) {
            toolbar->addSeparator();
            continue;
        }
        QAction* action = m_pFrame->CommandAction(id);
        action->setIcon(QIcon(strip.copy(image * width, 0, width, height)));
        ++image;
        toolbar->addAction(action);
    }
    return TRUE;
}

CStatusBar::CStatusBar() = default;

CStatusBar::~CStatusBar()
{
    delete m_lockWatcher.data();
}

BOOL CStatusBar::Create(CFrameWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    auto* statusBar = NewBarWidget<QStatusBar>(pParentWnd, nID);
    if (!statusBar)
        return FALSE;
    pParentWnd->GetMainWindow()->setStatusBar(statusBar);
    return CreateBar(pParentWnd, statusBar, dwStyle, nID);
}

QStatusBar* CStatusBar::GetStatusBar() const
{
    return static_cast<QStatusBar*>(GetWidget());
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    QStatusBar* statusBar = GetStatusBar();
    if (!statusBar || !lpIDArray || nIDCount <= 0)
        return FALSE;
    for (int i = 0; i < nIDCount; ++i) {
        const UINT id = lpIDArray[i];
        auto* label = new QLabel(statusBar);
        label->setObjectName(QString::number(id));
        label->setTextFormat(Qt::PlainText);
        if (id == ID_SEPARATOR) {
            label->setText(QString::fromStdString(AfxGetResources().LoadString(AFX_IDS_IDLEMESSAGE)));
            statusBar->addWidget(label, 1);
        } else {
            // Sized for its text, so that the pane keeps its place while off.
            const QString text = QString::fromStdString(AfxGetResources().LoadString(static_cast<int>(id)));
            label->setProperty("indicatorText", text);
            label->setAlignment(Qt::AlignCenter);
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setMinimumWidth(label->fontMetrics().horizontalAdvance(text) + 12);
            statusBar->addPermanentWidget(label);
        }
        m_panes.push_back({id, label});
    }
    delete m_lockWatcher.data();
    m_lockWatcher = new LockKeyWatcher(statusBar, [this] { UpdateIndicators(); });
    UpdateIndicators();
    return TRUE;
}

void CStatusBar::UpdateIndicators()
{
    const std::optional<LockKeyState> state = QueryLockKeys();
    for (const Pane& pane : m_panes) {
        if (!pane.label || pane.id == ID_SEPARATOR)
            continue;
        bool lit = false;
        if (state) {
            lit = (pane.id == ID_INDICATOR_CAPS && state->caps) || (pane.id == ID_INDICATOR_NUM && state->num) ||
                  (pane.id == ID_INDICATOR_SCRL && state->scroll);
        }
        pane.label->setText(lit ? pane.label->property("indicatorText").toString() : QString());
    }
}
