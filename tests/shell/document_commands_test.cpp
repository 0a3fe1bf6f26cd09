// File New, Open, Save, Save As and the recent-file list, through the
// commands of the menu and the keys.
#include "program_session.h"
#include "shell_probe.h"
#include "tarvel2_hook.h"
#include "temp_files.h"

#include "framework/afx_commands.h"
#include "framework/prompts.h"
#include "tarvel2/tarvel2_app.h"
#include "tarvel3/tarvel3_app.h"

#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace {

class DocumentCommands : public testing::Test {
protected:
    void SetUp() override
    {
        ClearProfile("Tarvel2");
        ClearProfile("Tarvel3");
        PromptSeam::TakeMessages();
    }
    void TearDown() override
    {
        // An answer a test left unused must not leak into the next one.
        while (true) {
            CFileDialog drain(TRUE);
            if (drain.DoModal() != IDOK)
                break;
        }
    }

    void OpenThroughDialog(ProgramSession<CTarvel3App>& session, const std::string& path)
    {
        PromptSeam::QueueFileDialogAnswer(path);
        session.Command(ID_FILE_OPEN);
    }

    // The recent-file entries of the File menu, in menu order.
    static std::vector<std::string> RecentEntries(QMainWindow* window)
    {
        std::vector<std::string> entries;
        for (QAction* item : Popup(window, "&File")->actions())
            if (item->isVisible() && CommandOf(item) >= ID_FILE_MRU_FILE1 && CommandOf(item) < ID_FILE_MRU_FILE1 + 16)
                entries.push_back(item->text().toStdString() + " " + std::to_string(CommandOf(item)));
        return entries;
    }

    InitialUpdateProbeScope probe;
    TempFiles files;
};

}  // namespace

TEST_F(DocumentCommands, NewDocumentIsUntitledAndSaveWritesAnEmptyFile)
{
    ProgramSession<CTarvel3App> session;
    ASSERT_TRUE(session.Started());
    EXPECT_EQ(session.Caption(), "Untitled - Tarvel3");

    // Save on an untitled document asks for a name; the old content goes.
    const std::string target = files.Write("saved.tv3", "old content");
    PromptSeam::QueueFileDialogAnswer(target);
    EXPECT_TRUE(session.Command(ID_FILE_SAVE));
    EXPECT_EQ(TempFiles::SizeOf(target), 0);
    EXPECT_EQ(session.Caption(), "saved.tv3 - Tarvel3");

    // Save again writes to the same file without asking.
    files.Write("saved.tv3", "written meanwhile");
    EXPECT_TRUE(session.Command(ID_FILE_SAVE));
    EXPECT_EQ(TempFiles::SizeOf(target), 0);

    // Save As, cancelled, writes nothing and keeps the name.
    const std::string other = files.Path("other.tv3");
    PromptSeam::QueueFileDialogAnswer(std::nullopt);
    EXPECT_TRUE(session.Command(ID_FILE_SAVE_AS));
    EXPECT_FALSE(TempFiles::Exists(other));
    EXPECT_EQ(session.Caption(), "saved.tv3 - Tarvel3");

    PromptSeam::QueueFileDialogAnswer(other);
    EXPECT_TRUE(session.Command(ID_FILE_SAVE_AS));
    EXPECT_EQ(TempFiles::SizeOf(other), 0);
    EXPECT_EQ(session.Caption(), "other.tv3 - Tarvel3");
    EXPECT_TRUE(PromptSeam::TakeMessages().empty());

    EXPECT_TRUE(session.Command(ID_FILE_NEW));
    EXPECT_EQ(session.Caption(), "Untitled - Tarvel3");
}

TEST_F(DocumentCommands, OpenTakesAnyReadableFileAndTitlesTheDocumentWithItsName)
{
    ProgramSession<CTarvel3App> session;
    ASSERT_TRUE(session.Started());
    static const char kBytes[] = "\x00\xff\x10 not a document";
    const std::string binary = files.Write("keys.bin", QByteArray(kBytes, sizeof kBytes - 1));
    OpenThroughDialog(session, binary);
    EXPECT_EQ(session.Caption(), "keys.bin - Tarvel3");
    EXPECT_TRUE(PromptSeam::TakeMessages().empty());
    // Opening never changes the file.
    EXPECT_EQ(TempFiles::SizeOf(binary), static_cast<qint64>(sizeof kBytes - 1));

    // Cancelled: nothing changes.
    PromptSeam::QueueFileDialogAnswer(std::nullopt);
    session.Command(ID_FILE_OPEN);
    EXPECT_EQ(session.Caption(), "keys.bin - Tarvel3");
}

TEST_F(DocumentCommands, FilesThatCannotBeOpenedAreNamedInAMessageAndChangeNothing)
{
    ProgramSession<CTarvel3App> session;
    ASSERT_TRUE(session.Started());
    OpenThroughDialog(session, files.Write("first.txt"));

    const std::string missing = files.Path("missing.txt");
    OpenThroughDialog(session, missing);
    EXPECT_EQ(PromptSeam::TakeMessages(),
              std::vector<std::string>{"Cannot open \"" + missing + "\": No such file or directory."});

    // A FIFO would wait for a writer for ever; a folder is no document.
    const std::string fifo = files.Path("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    OpenThroughDialog(session, fifo);
    EXPECT_EQ(PromptSeam::TakeMessages(),
              std::vector<std::string>{"Cannot open \"" + fifo + "\": it is not a regular file."});
    OpenThroughDialog(session, files.Path(""));
    EXPECT_EQ(PromptSeam::TakeMessages().size(), 1u);

    EXPECT_EQ(session.Caption(), "first.txt - Tarvel3");
    EXPECT_EQ(RecentEntries(session.Window()).size(), 1u);
}

TEST_F(DocumentCommands, RecentFileListKeepsTheLastFourNewestFirstAndSurvivesARestart)
{
    std::vector<std::string> paths;
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"})
        paths.push_back(files.Write(name));
    {
        ProgramSession<CTarvel3App> session;
        ASSERT_TRUE(session.Started());
        EXPECT_EQ(RecentEntries(session.Window()), std::vector<std::string>{"Recent File 57616"});
        for (const std::string& path : paths)
            OpenThroughDialog(session, path);
        EXPECT_EQ(RecentEntries(session.Window()),
                  (std::vector<std::string>{"&1 " + paths[4] + " 57616", "&2 " + paths[3] + " 57617",
                                            "&3 " + paths[2] + " 57618", "&4 " + paths[1] + " 57619"}));
        // Opening a listed file again moves it up instead of repeating it.
        OpenThroughDialog(session, paths[1]);
    }
    const std::vector<std::string> kept = {"&1 " + paths[1] + " 57616", "&2 " + paths[4] + " 57617",
                                           "&3 " + paths[3] + " 57618", "&4 " + paths[2] + " 57619"};
    {
        ProgramSession<CTarvel3App> restarted;
        ASSERT_TRUE(restarted.Started());
        EXPECT_EQ(RecentEntries(restarted.Window()), kept);

        // An entry opens its file and comes first.
        EXPECT_TRUE(restarted.Command(ID_FILE_MRU_FILE1 + 2));
        EXPECT_EQ(restarted.Caption(), "d.txt - Tarvel3");
        EXPECT_EQ(RecentEntries(restarted.Window()).front(), "&1 " + paths[3] + " 57616");

        // An entry whose file has gone says so and leaves the list.
        ASSERT_TRUE(QFile::remove(QString::fromStdString(paths[2])));
        EXPECT_TRUE(restarted.Command(ID_FILE_MRU_FILE1 + 3));
        EXPECT_EQ(PromptSeam::TakeMessages().size(), 1u);
        EXPECT_EQ(RecentEntries(restarted.Window()).size(), 3u);
        EXPECT_EQ(restarted.Caption(), "d.txt - Tarvel3");
    }
    // The other program keeps a list of its own.
    ProgramSession<CTarvel2App> other;
    ASSERT_TRUE(other.Started());
    EXPECT_EQ(RecentEntries(other.Window()), std::vector<std::string>{"Recent File 57616"});
}

TEST_F(DocumentCommands, Tarvel2RunsTheWizardAgainOnNewAndOpenWithTheDocumentsTitle)
{
    ProgramSession<CTarvel2App> session;
    ASSERT_TRUE(session.Started());
    EXPECT_EQ(InitialUpdateProbe::Instance().runs, 1);
    EXPECT_TRUE(InitialUpdateProbe::Instance().viewWasTarvel2View);
    EXPECT_EQ(session.Caption(), "Untitled - Tarvel2");

    session.Command(ID_FILE_NEW);
    EXPECT_EQ(InitialUpdateProbe::Instance().runs, 2);
    PromptSeam::QueueFileDialogAnswer(files.Write("key.txt"));
    session.Command(ID_FILE_OPEN);
    EXPECT_EQ(InitialUpdateProbe::Instance().runs, 3);
    EXPECT_EQ(session.Caption(), "key.txt - Tarvel2");
    // A file that cannot be opened starts nothing afresh.
    PromptSeam::QueueFileDialogAnswer(files.Path("gone.txt"));
    session.Command(ID_FILE_OPEN);
    EXPECT_EQ(InitialUpdateProbe::Instance().runs, 3);
}

TEST_F(DocumentCommands, KeysRunTheirCommandsAndTheEditAndPaneKeysDoNothing)
{
    ProgramSession<CTarvel3App> session;
    ASSERT_TRUE(session.Started());
    QMainWindow* window = session.Window();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));

    const std::string target = files.Write("by-key.tv3", "content");
    PromptSeam::QueueFileDialogAnswer(target);
    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(TempFiles::SizeOf(target), 0);
    EXPECT_EQ(session.Caption(), "by-key.tv3 - Tarvel3");

    // None of these may ask for a file or say anything.
    PromptSeam::QueueFileDialogAnswer(files.Write("unused.txt"));
    QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Backspace, Qt::AltModifier);
    QTest::keyClick(window, Qt::Key_Delete, Qt::ShiftModifier);
    QTest::keyClick(window, Qt::Key_Insert, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(window, Qt::Key_F6);
    QTest::keyClick(window, Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(session.Caption(), "by-key.tv3 - Tarvel3");
    EXPECT_TRUE(PromptSeam::TakeMessages().empty());

    // Ctrl+O takes the answer still queued: it was not used above.
    QTest::keyClick(window, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(session.Caption(), "unused.txt - Tarvel3");
}

// A name made under a Latin-1 locale is no UTF-8: it reaches the system as
// the bytes it came as, whichever way it arrives, and the title shows what
// can be shown of it.
TEST_F(DocumentCommands, NamesThatAreNotUtf8OpenAndSaveByTheirBytes)
{
    const std::filesystem::path folder = std::filesystem::path(files.Path("x")).parent_path();
    const std::string latin1 = (folder / "caf\xe9.txt").string();
    const std::string other = (folder / "na\xefve.txt").string();
    for (const std::string& path : {latin1, other})
        std::ofstream(path) << "some bytes";
    // The temporary folder cannot remove names Qt cannot hold.
    struct RemovedAtEnd {
        std::vector<std::string> paths;
        ~RemovedAtEnd()
        {
            for (const std::string& path : paths)
                std::filesystem::remove(path);
        }
    } removed{{latin1, other}};
    const std::string shown = "caf\xef\xbf\xbd.txt - Tarvel3";  // U+FFFD for the byte

    {
        ProgramSession<CTarvel3App> session({latin1});  // the command line
        ASSERT_TRUE(session.Started());
        EXPECT_EQ(session.Caption().toStdString(), shown);
        EXPECT_TRUE(session.Command(ID_FILE_SAVE));
        EXPECT_EQ(std::filesystem::file_size(latin1), 0u) << "saved to the file it was opened from";

        OpenThroughDialog(session, other);  // the file dialog
        EXPECT_EQ(session.Caption().toStdString(), "na\xef\xbf\xbdve.txt - Tarvel3");
        EXPECT_TRUE(PromptSeam::TakeMessages().empty());
    }
    ProgramSession<CTarvel3App> restarted;  // the recent-file list
    ASSERT_TRUE(restarted.Started());
    EXPECT_TRUE(restarted.Command(ID_FILE_MRU_FILE1 + 1));
    EXPECT_EQ(restarted.Caption().toStdString(), shown);
    EXPECT_TRUE(PromptSeam::TakeMessages().empty());
    EXPECT_EQ(RecentEntries(restarted.Window()).size(), 2u);
    // Nothing was made under a name of Qt's (U+FFFD in UTF-8) on the way.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 2);
}
