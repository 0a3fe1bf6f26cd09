// Menus, accelerators, toolbar and status bar of both main windows.
#include "program_session.h"
#include "shell_probe.h"
#include "tarvel2_hook.h"

#include "tarvel2/tarvel2_app.h"
#include "tarvel3/tarvel3_app.h"
#include "tarvel3/tarvel3_view.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QIcon>
#include <QLayout>
#include <QImage>
#include <QPixmap>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

std::vector<std::string> ExpectedMenu(const std::string& program)
{
    return {"[&File]",
            "&New\tCtrl+N 57600",
            "&Open...\tCtrl+O 57601",
            "&Save\tCtrl+S 57603",
            "Save &As... 57604",
            "-",
            "&Print...\tCtrl+P 57607",
            "Print Pre&view 57609",
            "P&rint Setup... 57606",
            "-",
            "Recent File 57616 (off)",
            "-",
            "E&xit 57665",
            "[&Edit]",
            "&Undo\tCtrl+Z 57643 (off)",
            "-",
            "Cu&t\tCtrl+X 57635 (off)",
            "&Copy\tCtrl+C 57634 (off)",
            "&Paste\tCtrl+V 57637 (off)",
            "[&View]",
            "&Toolbar 59392",
            "&Status Bar 59393",
            "[&Help]",
            "&About " + program + "... 57664"};
}

const std::vector<std::string> kAccelerators = {
    "Ctrl+N 57600",   "Ctrl+O 57601",    "Ctrl+S 57603", "Ctrl+P 57607",        "Ctrl+Z 57643",
    "Ctrl+X 57635",   "Ctrl+C 57634",    "Ctrl+V 57637", "Alt+Backspace 57643", "Shift+Del 57635",
    "Ctrl+Ins 57634", "Shift+Ins 57637", "F6 57680",     "Shift+F6 57681"};

class FrameTables : public testing::Test {
protected:
    void SetUp() override
    {
        ClearProfile("Tarvel2");
        ClearProfile("Tarvel3");
    }
    InitialUpdateProbeScope probe;
};

// The status bar: "Ready" in the message pane, then CAP, NUM and SCRL, blank
// where the platform does not report the lock keys (here: offscreen).
void ExpectStatusPanes(QMainWindow* window)
{
    window->statusBar()->layout()->activate();
    const std::vector<QLabel*> panes = StatusPanes(window);
    ASSERT_EQ(panes.size(), 4u);
    EXPECT_EQ(panes[0]->text(), "Ready");
    const char* const indicators[] = {"59137", "59138", "59139"};  // CAP, NUM, SCRL
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(panes[i + 1]->objectName(), indicators[i]);
        EXPECT_EQ(panes[i + 1]->text(), "");
        EXPECT_GT(panes[i + 1]->minimumWidth(), 0) << "an indicator keeps its room while off";
    }
}

// The program's main window has its own menu and the shared keys and panes.
template <class App>
void ExpectMenusKeysAndPanes(const std::string& program)
{
    ProgramSession<App> session;
    ASSERT_TRUE(session.Started());
    EXPECT_EQ(MenuLayout(session.Window()), ExpectedMenu(program));
    EXPECT_EQ(AcceleratorLayout(session.Window()), kAccelerators);
    ExpectStatusPanes(session.Window());
}

}  // namespace

TEST_F(FrameTables, Tarvel2MenusKeysAndPanes)
{
    ExpectMenusKeysAndPanes<CTarvel2App>("Tarvel2");
}

TEST_F(FrameTables, Tarvel3MenusKeysAndPanesWithoutTestCommands)
{
    ExpectMenusKeysAndPanes<CTarvel3App>("Tarvel3");
}

TEST_F(FrameTables, Tarvel2ToolbarHasTheStandardButtonsWithEditButtonsOff)
{
    ProgramSession<CTarvel2App> session;
    ASSERT_TRUE(session.Started());
    QToolBar* toolbar = MainToolBar(session.Window());
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(ToolBarLayout(toolbar), (std::vector<std::string>{
                                          "57600 New | Create a new document",
                                          "57601 Open | Open an existing document",
                                          "57603 Save | Save the active document",
                                          "-",
                                          "57635 Cut | Cut the selection and put it on the Clipboard (off)",
                                          "57634 Copy | Copy the selection and put it on the Clipboard (off)",
                                          "57637 Paste | Insert Clipboard contents (off)",
                                          "-",
                                          "57607 Print | Print the active document",
                                          "57664 About | Display program information, version number and copyright",
                                      }));
    EXPECT_EQ(toolbar->iconSize(), QSize(16, 15));
}

TEST_F(FrameTables, Tarvel3ToolbarHasOneLabelledButtonPerTest)
{
    ProgramSession<CTarvel3App> session;
    ASSERT_TRUE(session.Started());
    QToolBar* toolbar = MainToolBar(session.Window());
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(ToolBarLayout(toolbar), (std::vector<std::string>{
                                          "32771 DES | DES encryption",
                                          "32773 SHA-1 file hashing | Test SHA-1 Hashing",
                                          "32774 MD5 hashing | Test MD5 Hashing",
                                      }));
    EXPECT_EQ(toolbar->iconSize(), QSize(37, 15));

    // Each face is its own picture with dark lettering on it.
    std::vector<QImage> faces;
    for (QAction* action : toolbar->actions()) {
        const QImage face = action->icon().pixmap(QSize(37, 15)).toImage();
        ASSERT_EQ(face.size(), QSize(37, 15));
        int dark = 0;
        for (int y = 0; y < face.height(); ++y)
            for (int x = 0; x < face.width(); ++x)
                dark += qGray(face.pixel(x, y)) < 64 ? 1 : 0;
        EXPECT_GT(dark, 20) << "face of " << CommandOf(action);
        faces.push_back(face);
    }
    ASSERT_EQ(faces.size(), 3u);
    EXPECT_NE(faces[0], faces[1]);
    EXPECT_NE(faces[1], faces[2]);
}

TEST_F(FrameTables, MessagePaneShowsAButtonsPromptWhileTheMouseIsOverIt)
{
    ProgramSession<CTarvel3App> session;
    ASSERT_TRUE(session.Started());
    QToolBar* toolbar = MainToolBar(session.Window());
    QWidget* button = toolbar->widgetForAction(ToolBarAction(toolbar, ID_TEST_MD5));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), "MD5 hashing");

    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(button, &enter);
    EXPECT_EQ(session.Window()->statusBar()->currentMessage(), "Test MD5 Hashing");

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(button, &leave);
    EXPECT_EQ(session.Window()->statusBar()->currentMessage(), "");
    EXPECT_TRUE(StatusPanes(session.Window())[0]->isVisible());
    EXPECT_EQ(StatusPanes(session.Window())[0]->text(), "Ready");
}

TEST_F(FrameTables, ViewMenuHidesAndShowsTheBars)
{
    ProgramSession<CTarvel3App> session;
    ASSERT_TRUE(session.Started());
    QToolBar* toolbar = MainToolBar(session.Window());
    QStatusBar* statusBar = session.Window()->statusBar();
    ASSERT_TRUE(toolbar->isVisible());
    ASSERT_TRUE(statusBar->isVisible());

    EXPECT_TRUE(session.Command(59392));
    EXPECT_FALSE(toolbar->isVisible());
    EXPECT_TRUE(session.Command(59393));
    EXPECT_FALSE(statusBar->isVisible());

    QMenu* view = Popup(session.Window(), "&View");
    ASSERT_NE(view, nullptr);
    for (QAction* item : view->actions())
        EXPECT_FALSE(item->isChecked()) << item->text().toStdString();

    EXPECT_TRUE(session.Command(59392));
    EXPECT_TRUE(toolbar->isVisible());
    EXPECT_TRUE(view->actions().at(0)->isChecked());
}
