// The About box of both programs and the three test commands of Tarvel3's
// toolbar (what the dialogs do is tested with the dialogs).
#include "fake_component.h"
#include "modal_probe.h"
#include "program_session.h"
#include "shell_probe.h"
#include "tarvel2_hook.h"

#include "framework/prompts.h"
#include "framework/afx_commands.h"
#include "tarvel2/tarvel2_app.h"
#include "tarvel3/tarvel3_app.h"
#include "tarvel3/tarvel3_view.h"

#include <QPrintPreviewWidget>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

struct AboutBox {
    QString caption;
    QStringList texts;
    bool hasParent = true;
    bool hasIcon = false;
    QString okText;
    bool okIsDefault = false;
};

// Opens the About box through its command and reads it; ends it with OK.
template <class App>
AboutBox ReadAboutBox(ProgramSession<App>& session)
{
    AboutBox box;
    const bool opened = WithModalWindow([&] { session.Command(ID_APP_ABOUT); },
                                        [&](QWidget* window) {
                                            box.caption = window->windowTitle();
                                            box.hasParent = window->parentWidget() != nullptr;
                                            for (QLabel* label : window->findChildren<QLabel*>()) {
                                                if (!label->text().isEmpty())
                                                    box.texts << label->text();
                                                if (!label->pixmap().isNull())
                                                    box.hasIcon = true;
                                            }
                                            if (auto* ok = window->findChild<QPushButton*>("1")) {
                                                box.okText = ok->text();
                                                box.okIsDefault = ok->isDefault();
                                                ok->click();
                                            }
                                        });
    EXPECT_TRUE(opened);
    return box;
}

// Reads the About box and checks its caption, its one text and its icon.
template <class App>
AboutBox ExpectAboutBox(ProgramSession<App>& session, const QString& caption, const QString& text)
{
    const AboutBox box = ReadAboutBox(session);
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.texts, QStringList{text});
    EXPECT_TRUE(box.hasIcon);
    return box;
}

class AboutAndCommands : public testing::Test {
protected:
    void SetUp() override
    {
        ClearProfile("Tarvel2");
        ClearProfile("Tarvel3");
        PromptSeam::TakeMessages();
    }
    InitialUpdateProbeScope probe;
};

}  // namespace

TEST_F(AboutAndCommands, AboutBoxesNameTheirProgramAndVersion)
{
    {
        ProgramSession<CTarvel2App> session;
        ASSERT_TRUE(session.Started());
        const AboutBox box = ExpectAboutBox(session, "About Tarvel2", "Tarvel2 Version 1.0");
        EXPECT_FALSE(box.hasParent);
        EXPECT_EQ(box.okText, "OK");
        EXPECT_TRUE(box.okIsDefault);
        // The main window's toolbar button opens the same box.
        EXPECT_TRUE(WithModalWindow([&] { ToolBarAction(MainToolBar(session.Window()), ID_APP_ABOUT)->trigger(); },
                                    [](QWidget* window) { EXPECT_EQ(window->windowTitle(), "About Tarvel2"); }));
    }
    ProgramSession<CTarvel3App> session;
    ASSERT_TRUE(session.Started());
    ExpectAboutBox(session, "About Tarvel3", "Tarvel3 Version 1.0");
}

TEST_F(AboutAndCommands, EachTestButtonOpensItsOwnDialogWithItsOwnObject)
{
    FakeComponent fake;
    ProgramSession<CTarvel3App> session;
    ASSERT_TRUE(session.Started());
    QToolBar* toolbar = MainToolBar(session.Window());

    const struct {
        unsigned command;
        const char* caption;
        const char* interface;
    } buttons[] = {{ID_TEST_DES, "Test DES", "IUserDES"},
                   {ID_TEST_SHA1, "Dialog", "IHashSHA1"},
                   {ID_TEST_MD5, "Test MD5", "IHashMD5"}};
    int object = 0;
    for (const auto& button : buttons) {
        QAction* action = ToolBarAction(toolbar, button.command);
        ASSERT_NE(action, nullptr) << button.command;
        ASSERT_TRUE(action->isEnabled());
        QString caption;
        EXPECT_TRUE(
            WithModalWindow([&] { action->trigger(); }, [&](QWidget* window) { caption = window->windowTitle(); }));
        EXPECT_EQ(caption, button.caption);
        ++object;
        EXPECT_EQ(fake.interfaceOf(object), button.interface);
        EXPECT_EQ(fake.releasesOf(object), 1);
    }
    EXPECT_EQ(fake.createdObjects(), 3);
    EXPECT_EQ(fake.liveObjects(), 0);
    EXPECT_TRUE(PromptSeam::TakeMessages().empty());
}

TEST_F(AboutAndCommands, PrintPreviewShowsOneEmptyPageInBothPrograms)
{
    auto previewPages = [](auto& session) {
        int pages = -1;
        const bool opened = WithModalWindow([&] { session.Command(ID_FILE_PRINT_PREVIEW); },
                                            [&](QWidget* window) {
                                                if (auto* preview = window->findChild<QPrintPreviewWidget*>()) {
                                                    preview->updatePreview();
                                                    pages = preview->pageCount();
                                                }
                                            });
        EXPECT_TRUE(opened);
        return pages;
    };
    {
        ProgramSession<CTarvel2App> session;
        ASSERT_TRUE(session.Started());
        EXPECT_EQ(previewPages(session), 1);
    }
    ProgramSession<CTarvel3App> session;
    ASSERT_TRUE(session.Started());
    EXPECT_EQ(previewPages(session), 1);
}
