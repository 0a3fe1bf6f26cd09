// What InitInstance does, in order, and how it fails.
#include "program_session.h"
#include "tarvel2_hook.h"
#include "temp_files.h"

#include "framework/afx_commands.h"
#include "runtime/com.h"
#include "framework/prompts.h"
#include "runtime/runtime.h"
#include "tarvel2/tarvel2_app.h"
#include "tarvel3/tarvel3_app.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

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

// Puts something other than a regular file where the program's settings
// file goes, for as long as it lives.
class SettingsFileReplacement {
public:
    SettingsFileReplacement(const char* application, bool fifo)
    {
        // Made while the file is still regular: QSettings reads it at once.
        ClearProfile(application);
        m_path = QSettings(QSettings::NativeFormat, QSettings::UserScope, kProfileOrganisation, application)
                     .fileName()
                     .toStdString();
        std::filesystem::remove(m_path);
        std::filesystem::create_directories(std::filesystem::path(m_path).parent_path());
        if (fifo)
            m_made = mkfifo(m_path.c_str(), 0600) == 0;
        else
            m_made = std::filesystem::create_directory(m_path);
    }
    ~SettingsFileReplacement() { std::filesystem::remove(m_path); }
    SettingsFileReplacement(const SettingsFileReplacement&) = delete;
    SettingsFileReplacement& operator=(const SettingsFileReplacement&) = delete;

    bool Made() const { return m_made; }
    const std::string& Path() const { return m_path; }
    mode_t Kind() const
    {
        struct stat info {};
        return lstat(m_path.c_str(), &info) == 0 ? info.st_mode & S_IFMT : 0;
    }

private:
    std::string m_path;
    bool m_made = false;
};

// The lines of text that mention topic (Qt adds lines of its own).
std::vector<std::string> LinesAbout(const std::string& text, const std::string& topic)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.find(topic) != std::string::npos)
            lines.push_back(line);
    return lines;
}

// Starts a session, opens a document (which writes the recent-file list) and
// ends it (which writes it again); returns the caption it had.
template <class App>
std::string RunOnceOpening(const std::string& document)
{
    ProgramSession<App> session;
    if (!session.Started())
        return "<not started>";
    PromptSeam::QueueFileDialogAnswer(document);
    session.Command(ID_FILE_OPEN);
    return session.Caption().toStdString();
}

}  // namespace

// A FIFO would block the start waiting for a writer, and the exit replacing
// it would destroy it: neither program reads or writes anything that is not
// a regular file in place of its settings, and each says so once.
TEST_F(StartUp, ASettingsFileThatIsNoRegularFileIsLeftAloneAndTheProgramStartsWithDefaults)
{
    struct Case {
        const char* application;
        bool fifo;
        std::string (*run)(const std::string&);
        const char* reason;
    };
    const Case cases[] = {
        {"Tarvel3", true, &RunOnceOpening<CTarvel3App>, "it is a pipe (FIFO), not a regular file"},
        {"Tarvel2", true, &RunOnceOpening<CTarvel2App>, "it is a pipe (FIFO), not a regular file"},
        {"Tarvel3", false, &RunOnceOpening<CTarvel3App>, "it is a folder, not a file"},
    };
    const std::string document = files.Write("opened.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.application) + (c.fifo ? " FIFO" : " folder"));
        SettingsFileReplacement replacement(c.application, c.fifo);
        ASSERT_TRUE(replacement.Made());
        const mode_t kind = replacement.Kind();

        testing::internal::CaptureStderr();
        const std::string caption = c.run(document);
        const std::string said = testing::internal::GetCapturedStderr();

        EXPECT_EQ(caption, "opened.txt - " + std::string(c.application));
        EXPECT_EQ(LinesAbout(said, "settings file"),
                  std::vector<std::string>{std::string(c.application) + ": settings file \"" + replacement.Path() +
                                           "\" not used: " + c.reason +
                                           ". Starting with the default settings, which are not saved."});
        EXPECT_EQ(replacement.Kind(), kind) << "replaced";
    }
}
