#include "framework/frame.h"

#include "framework/afx_commands.h"
#include "png_image.h"
#include "framework/app.h"
#include "framework/control_bars.h"
#include "framework/doc_template.h"
#include "framework/document.h"
#include "framework/recent_file_list.h"
#include "framework/resources.h"
#include "framework/shell_tables.h"
#include "framework/view.h"

#include <QAction>
#include <QCloseEvent>
#include <QIcon>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenuBar>
#include <QShortcut>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr const char* kCommandId = "commandId";

// The frame's window: asks the document before it closes.
class FrameWindow : public QMainWindow {
public:
    explicit FrameWindow(CFrameWnd& frame) : m_frame(frame) {}

protected:
    void closeEvent(QCloseEvent* event) override
    {
        CDocument* document = m_frame.GetActiveDocument();
        if (document && !document->SaveModified())
            event->ignore();
        else
            event->accept();
    }

private:
    CFrameWnd& m_frame;
};

QIcon ProgramIcon(UINT nID)
{
    const QString folder = QString::fromStdString(AfxGetResources().Folder());
    QIcon icon;
    icon.addPixmap(ReadPng(QStringLiteral("%1/icons/%2.png").arg(folder).arg(nID)));
    icon.addPixmap(ReadPng(QStringLiteral("%1/icons/%2-16.png").arg(folder).arg(nID)));
    return icon;
}

}  // namespace

CFrameWnd::CFrameWnd()
{
    MapCommand(ID_VIEW_TOOLBAR, &CFrameWnd::OnViewToolbar);
    MapCommand(ID_VIEW_STATUS_BAR, &CFrameWnd::OnViewStatusBar);
}

CFrameWnd::~CFrameWnd()
{
    // The view's window lives inside the frame's: end the view first.
    m_pView.reset();
}

QMainWindow* CFrameWnd::GetMainWindow() const
{
    return static_cast<QMainWindow*>(GetSafeHwnd());
}

CDocument* CFrameWnd::GetActiveDocument() const
{
    return m_pView ? m_pView->GetDocument() : nullptr;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, CCreateContext* pContext)
{
    CREATESTRUCT cs;
    cs.lpCreateParams = pContext;
    if (!PreCreateWindow(cs))
        return FALSE;

    auto* window = new FrameWindow(*this);
    AttachWindow(window);
    const std::string templateString = AfxGetResources().LoadString(static_cast<int>(nIDResource));
    m_strTitle = CString(templateString.substr(0, templateString.find('\n')));
    window->setWindowTitle(QString::fromStdString(m_strTitle.str()));
    window->setWindowIcon(ProgramIcon(nIDResource));
    BuildMenu(nIDResource);
    BuildAccelerators(nIDResource);

    if (OnCreate(&cs) == -1) {
        m_pView.reset();
        DestroyWindow();
        return FALSE;
    }
    window->resize(cs.cx > 0 ? cs.cx : 640, cs.cy > 0 ? cs.cy : 480);
    UpdateCommandUI();
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT&)
{
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    return OnCreateClient(lpCreateStruct, lpCreateStruct->lpCreateParams) ? 0 : -1;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    QMainWindow* window = GetMainWindow();
    auto* client = new QWidget(window);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    window->setCentralWidget(client);
    if (!pContext || !pContext->m_pNewViewClass)
        return TRUE;
    m_pView = pContext->m_pNewViewClass->CreateObject();
    if (!m_pView->Create(this, client, pContext->m_pCurrentDoc)) {
        m_pView.reset();
        return FALSE;
    }
    return TRUE;
}

void CFrameWnd::ShowWindow(int nCmdShow)
{
    if (QMainWindow* window = GetMainWindow())
        window->setVisible(nCmdShow != SW_HIDE);
}

void CFrameWnd::UpdateWindow()
{
    QMainWindow* window = GetMainWindow();
    if (window && window->isVisible())
        window->repaint();
}

void CFrameWnd::InitialUpdateFrame(CDocument*)
{
    if (m_pView)
        m_pView->OnInitialUpdate();
    OnUpdateFrameTitle();
    UpdateCommandUI();
}

void CFrameWnd::OnUpdateFrameTitle()
{
    QMainWindow* window = GetMainWindow();
    if (!window)
        return;
    CString caption = m_strTitle;
    if (CDocument* document = GetActiveDocument(); document && !document->GetTitle().IsEmpty())
        caption = document->GetTitle() + " - " + m_strTitle;
    window->setWindowTitle(QString::fromStdString(caption.str()));
}

bool CFrameWnd::OnCmdMsg(UINT nID)
{
    // Held before the call: a handler may start the document afresh.
    CView* view = m_pView.get();
    CDocument* document = GetActiveDocument();
    bool handled = (view && view->RunCommandHandler(nID)) || (document && document->RunCommandHandler(nID)) ||
                   RunCommandHandler(nID);
    if (!handled) {
        if (CWinApp* app = AfxGetApp())
            handled = app->RunCommandHandler(nID);
    }
    if (GetSafeHwnd())
        UpdateCommandUI();
    return handled;
}

bool CFrameWnd::IsCommandEnabled(UINT nID) const
{
    if (m_pView && m_pView->HasCommandHandler(nID))
        return true;
    if (CDocument* document = GetActiveDocument(); document && document->HasCommandHandler(nID))
        return true;
    if (HasCommandHandler(nID))
        return true;
    CWinApp* app = AfxGetApp();
    return app && app->HasCommandHandler(nID);
}

void CFrameWnd::UpdateCommandUI()
{
    for (const auto& [id, action] : m_actions) {
        if (!action)
            continue;
        action->setEnabled(IsCommandEnabled(id));
        if (id == ID_VIEW_TOOLBAR || id == ID_VIEW_STATUS_BAR) {
            const CControlBar* bar = FindControlBar(id == ID_VIEW_TOOLBAR ? AFX_IDW_TOOLBAR : AFX_IDW_STATUS_BAR);
            action->setCheckable(true);
            action->setChecked(bar && bar->IsVisible());
        }
    }
}

QAction* CFrameWnd::CommandAction(UINT nID)
{
    QPointer<QAction>& action = m_actions[nID];
    if (action)
        return action;
    action = new QAction(GetMainWindow());
    const CommandStrings strings = LoadCommandStrings(nID);
    action->setText(QString::fromStdString(strings.tooltip.empty() ? strings.prompt : strings.tooltip));
    action->setStatusTip(QString::fromStdString(strings.prompt));
    action->setToolTip(QString::fromStdString(strings.tooltip));
    action->setIconVisibleInMenu(false);
    action->setProperty(kCommandId, nID);
    QObject::connect(action, &QAction::triggered, action, [this, nID] { OnCmdMsg(nID); });
    return action;
}

void CFrameWnd::BuildMenu(UINT nIDResource)
{
    const auto popups = LoadMenuTemplate(nIDResource);
    if (!popups)
        return;
    QMainWindow* window = GetMainWindow();
    QMenuBar* menuBar = window->menuBar();
    // Builds one popup's entries; the recent-file placeholder is remembered
    // so that the list can take its place.
    auto fill = [this](auto& self, QMenu* menu, const std::vector<MenuItemTemplate>& items) -> void {
        for (const MenuItemTemplate& item : items) {
            const QString text = QString::fromStdString(item.text);
            if (item.separator) {
                menu->addSeparator();
            } else if (!item.items.empty()) {
                self(self, menu->addMenu(text), item.items);
            } else if (item.id == ID_FILE_MRU_FILE1) {
                m_recentFileMenu = menu;
                m_recentFilePlaceholder = menu->addAction(text);
                m_recentFilePlaceholder->setEnabled(false);
                m_recentFilePlaceholder->setProperty(kCommandId, item.id);
            } else {
                QAction* action = CommandAction(item.id);
                action->setText(text);
                if (item.grayed)
                    action->setEnabled(false);
                menu->addAction(action);
            }
        }
    };
    for (const MenuItemTemplate& popup : *popups) {
        QMenu* menu = menuBar->addMenu(QString::fromStdString(popup.text));
        fill(fill, menu, popup.items);
        QObject::connect(menu, &QMenu::aboutToShow, menu, [this] {
            UpdateCommandUI();
            UpdateRecentFileMenu();
        });
    }
    UpdateRecentFileMenu();
}

void CFrameWnd::BuildAccelerators(UINT nIDResource)
{
    const auto table = LoadAcceleratorTable(nIDResource);
    if (!table)
        return;
    for (const AcceleratorTemplate& entry : *table) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromStdString(entry.key)), GetMainWindow());
        shortcut->setProperty(kCommandId, entry.id);
        const UINT id = entry.id;
        // A key does what its command does where the command has a handler,
        // and nothing otherwise.
        QObject::connect(shortcut, &QShortcut::activated, shortcut, [this, id] {
            if (IsCommandEnabled(id))
                OnCmdMsg(id);
        });
    }
}

void CFrameWnd::UpdateRecentFileMenu()
{
    if (!m_recentFileMenu || !m_recentFilePlaceholder)
        return;
    for (const QPointer<QAction>& action : m_recentFileActions)
        delete action.data();
    m_recentFileActions.clear();

    CWinApp* app = AfxGetApp();
    const CRecentFileList* list = app ? app->GetRecentFileList() : nullptr;
    const int count = list ? static_cast<int>(list->Files().size()) : 0;
    m_recentFilePlaceholder->setVisible(count == 0);
    const std::string prompt = LoadCommandStrings(ID_FILE_MRU_FILE1).prompt;
    for (int i = 0; i < count; ++i) {
        const UINT id = ID_FILE_MRU_FILE1 + static_cast<UINT>(i);
        auto* action = new QAction(list->MenuText(i), m_recentFileMenu);
        action->setStatusTip(QString::fromStdString(prompt));
        action->setProperty(kCommandId, id);
        QObject::connect(action, &QAction::triggered, action, [this, id] { OnCmdMsg(id); });
        m_recentFileMenu->insertAction(m_recentFilePlaceholder, action);
        m_recentFileActions.emplace_back(action);
    }
}

void CFrameWnd::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle;
}

void CFrameWnd::AddControlBar(CControlBar* pBar)
{
    m_controlBars.push_back(pBar);
}

CControlBar* CFrameWnd::FindControlBar(UINT nID) const
{
    for (CControlBar* bar : m_controlBars)
        if (bar->GetDlgCtrlID() == nID)
            return bar;
    return nullptr;
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT)
{
    auto* toolbar = qobject_cast<QToolBar*>(pBar->GetWidget());
    QMainWindow* window = GetMainWindow();
    if (!toolbar || !window)
        return;
    const DWORD sides = pBar->GetDockingStyle() & m_dwDockStyle;
    Qt::ToolBarAreas areas;
    if (sides & CBRS_ALIGN_TOP)
        areas |= Qt::TopToolBarArea;
    if (sides & CBRS_ALIGN_BOTTOM)
        areas |= Qt::BottomToolBarArea;
    if (sides & CBRS_ALIGN_LEFT)
        areas |= Qt::LeftToolBarArea;
    if (sides & CBRS_ALIGN_RIGHT)
        areas |= Qt::RightToolBarArea;
    toolbar->setAllowedAreas(areas);
    toolbar->setMovable(areas != Qt::ToolBarAreas());
    toolbar->setFloatable(areas != Qt::ToolBarAreas());
    // Docked on the side its own alignment names, the top by default.
    const DWORD align = pBar->GetBarStyle() & CBRS_ALIGN_ANY;
    Qt::ToolBarArea area = Qt::TopToolBarArea;
    if (align & CBRS_ALIGN_BOTTOM)
        area = Qt::BottomToolBarArea;
    else if (align & CBRS_ALIGN_LEFT)
        area = Qt::LeftToolBarArea;
    else if (align & CBRS_ALIGN_RIGHT)
        area = Qt::RightToolBarArea;
    window->addToolBar(area, toolbar);
}

void CFrameWnd::OnViewToolbar()
{
    if (CControlBar* bar = FindControlBar(AFX_IDW_TOOLBAR))
        bar->SetVisible(!bar->IsVisible());
}

void CFrameWnd::OnViewStatusBar()
{
    if (CControlBar* bar = FindControlBar(AFX_IDW_STATUS_BAR))
        bar->SetVisible(!bar->IsVisible());
}
