// What InitInstance does, in order, and how it fails.
#include "program_session.h"
#include "tarvel2_hook.h"
#include "temp_files.h"

#include "framework/afx_commands.h"
#include "runtime/object_binding.h"
#include "framework/prompts.h"
#include "runtime/runtime.h"
#include "tarvel2/tarvel2_app.h"
#include "tarvel3/tarvel3_app.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

namespace {

// The first value the generator gives after srand(seed).
int FirstDrawAfterSeed(std::uint32_t seed)
{
    crt::srand(seed);
    return crt::rand();
}

class StartUp : public testing::Test {
protected:
    void SetUp() override
    {
        ClearProfile("Tarvel2");
        ClearProfile("Tarvel3");
        PromptSeam::TakeMessages();
    }
    void TearDown() override { SetTickCountForTesting(std::nullopt); }

    InitialUpdateProbeScope probe;
    TempFiles files;
};

}  // namespace

TEST_F(StartUp, Tarvel2RunsTheWizardBeforeShowingItsWindowAndSeedsTheGeneratorLast)
{
    constexpr std::uint32_t kStartTicks = 987654;
    const int seededFirst = FirstDrawAfterSeed(kStartTicks);
    const int startFirst = FirstDrawAfterSeed(4242);
    ASSERT_NE(seededFirst, startFirst);

    // Whatever state the generator is in when the program starts, the wizard
    // draws from it: nothing seeds before the view's initial update.
    crt::srand(4242);
    SetTickCountForTesting(kStartTicks);
    ProgramSession<CTarvel2App> session;
    ASSERT_TRUE(session.Started());

    const InitialUpdateProbe& seen = InitialUpdateProbe::Instance();
    EXPECT_EQ(seen.runs, 1);
    EXPECT_FALSE(seen.mainWindowVisible);
    EXPECT_EQ(seen.firstDraw, startFirst);
    // Shown afterwards, and then seeded with the tick count.
    EXPECT_TRUE(session.Window()->isVisible());
    EXPECT_EQ(crt::rand(), seededFirst);
    EXPECT_EQ(session.Caption(), "Untitled - Tarvel2");
}

TEST_F(StartUp, Tarvel3LeavesTheGeneratorAlone)
{
    SetTickCountForTesting(987654);
    const int expected = FirstDrawAfterSeed(4242);
    crt::srand(4242);
    ProgramSession<CTarvel3App> session;
    ASSERT_TRUE(session.Started());
    EXPECT_TRUE(session.Window()->isVisible());
    EXPECT_EQ(crt::rand(), expected);
}

TEST_F(StartUp, ProfileIsKeptUnderTheOrganisationAndTheProgramsName)
{
    ProgramSession<CTarvel3App> session;
    ASSERT_TRUE(session.Started());
    EXPECT_EQ(QCoreApplication::organizationName(), "Local AppWizard-Generated Applications");
    EXPECT_EQ(QCoreApplication::applicationName(), "Tarvel3");
    PromptSeam::QueueFileDialogAnswer(files.Write("listed.txt"));
    session.Command(ID_FILE_OPEN);
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kProfileOrganisation, "Tarvel3");
    EXPECT_EQ(settings.value("Recent File List/File1").toString().toStdString(), files.Path("listed.txt"));
    // Under the user's configuration folder (the tests point it at a
    // temporary one).
    EXPECT_TRUE(settings.fileName().startsWith(QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME"))))
        << settings.fileName().toStdString();
}

TEST_F(StartUp, AFileNamedOnTheCommandLineIsOpenedOrTheStartFailsWithAMessage)
{
    const std::string present = files.Write("given.dat");
    {
        ProgramSession<CTarvel3App> session({present});
        ASSERT_TRUE(session.Started());
        EXPECT_EQ(session.Caption(), "given.dat - Tarvel3");
    }
    const std::string missing = files.Path("absent.dat");
    ProgramSession<CTarvel2App> session({missing});
    EXPECT_FALSE(session.Started());
    EXPECT_EQ(session.Frame(), nullptr);
    EXPECT_EQ(InitialUpdateProbe::Instance().runs, 0);
    EXPECT_EQ(PromptSeam::TakeMessages(),
              std::vector<std::string>{"Cannot open \"" + missing + "\": No such file or directory."});
}

TEST_F(StartUp, ComponentBindingThatCannotBeSetUpEndsTheStartWithOleError)
{
    const char* previous = std::getenv("TARVEL_COMPONENT");
    const std::string saved = previous ? previous : "";
    setenv("TARVEL_COMPONENT", "relative/libcomponent.so", 1);
    ResetComponentBindingForTesting();
    PromptSeam::TakeCaptions();
    {
        ProgramSession<CTarvel3App> session;
        EXPECT_FALSE(session.Started());
        EXPECT_EQ(session.Frame(), nullptr);
        EXPECT_EQ(PromptSeam::TakeMessages(),
                  std::vector<std::string>{
                      "OLE error\nTARVEL_COMPONENT must be an absolute path, not 'relative/libcomponent.so'"});
        EXPECT_EQ(PromptSeam::TakeCaptions(), std::vector<std::string>{"Tarvel3"});
    }
    if (previous)
        setenv("TARVEL_COMPONENT", saved.c_str(), 1);
    else
        unsetenv("TARVEL_COMPONENT");
    ResetComponentBindingForTesting();
}

namespace {

// Runs a session that opens a document (which writes the recent-file list)
// and ends (which writes it again); returns its caption.
template <class App>
std::string CaptionAfterOpening(const std::string& document)
{
    ProgramSession<App> session;
    PromptSeam::QueueFileDialogAnswer(document);
    session.Command(ID_FILE_OPEN);
    return session.Caption().toStdString();
}

mode_t KindOf(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

}  // namespace

// A FIFO in place of the settings file blocked the start waiting for a
// writer: neither program reads or replaces a settings file that is not a
// regular file, and each says so in one line.
TEST_F(StartUp, ASettingsFileThatIsNoRegularFileIsLeftAloneAndTheProgramStartsWithDefaults)
{
    const struct {
        const char* application;
        mode_t kind;
        std::string (*run)(const std::string&);
        const char* reason;
    } cases[] = {
        {"Tarvel3", S_IFIFO, &CaptionAfterOpening<CTarvel3App>, "it is a pipe (FIFO), not a regular file"},
        {"Tarvel2", S_IFIFO, &CaptionAfterOpening<CTarvel2App>, "it is a pipe (FIFO), not a regular file"},
        {"Tarvel3", S_IFDIR, &CaptionAfterOpening<CTarvel3App>, "it is a folder, not a file"},
    };
    const std::string document = files.Write("opened.txt");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.application);
        // Named while still a regular file: QSettings reads it when made.
        const std::string settings =
            QSettings(QSettings::NativeFormat, QSettings::UserScope, kProfileOrganisation, c.application)
                .fileName()
                .toStdString();
        std::filesystem::create_directories(std::filesystem::path(settings).parent_path());
        std::filesystem::remove(settings);
        ASSERT_EQ(c.kind == S_IFIFO ? mkfifo(settings.c_str(), 0600) : mkdir(settings.c_str(), 0700), 0);

        testing::internal::CaptureStderr();
        EXPECT_EQ(c.run(document), "opened.txt - " + std::string(c.application));
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(KindOf(settings), c.kind) << "replaced";
        std::filesystem::remove(settings);

        const std::string line = std::string(c.application) + ": settings file \"" + settings +
                                 "\" not used: " + c.reason +
                                 ". Starting with the default settings, which are not saved.\n";
        EXPECT_NE(said.find(line), std::string::npos) << said;
        EXPECT_EQ(said.find("settings file"), said.rfind("settings file")) << "said more than once: " << said;
    }
}
