// The real Tarvel3 program, started as its own process: options, a file that
// cannot be opened, what it loads to start, and no display.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace {

struct Outcome {
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
};

// The test's environment without any display or platform choice, with
// private runtime and settings folders.
QProcessEnvironment HeadlessEnvironment(const QTemporaryDir& home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "TARVEL_COMPONENT"})
        environment.remove(name);
    environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
    environment.insert("XDG_RUNTIME_DIR", home.path());
    return environment;
}

Outcome RunProgram(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Outcome outcome;
    // A generous bound, only so that a hanging program fails the test
    // instead of blocking the run.
    outcome.finished = process.waitForFinished(60000);
    if (!outcome.finished)
        process.kill();
    outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    outcome.err = QString::fromLocal8Bit(process.readAllStandardError());
    return outcome;
}

Outcome RunTarvel3(const QStringList& arguments, const QProcessEnvironment& environment)
{
    return RunProgram(QStringLiteral(TARVEL3_PROGRAM), arguments, environment);
}

// The program ended by itself with exit code 1, saying text on its error output.
void ExpectEndedWithOneSaying(const Outcome& outcome, const QString& text)
{
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_TRUE(outcome.err.contains(text)) << outcome.err.toStdString();
}

class Tarvel3Process : public testing::Test {
protected:
    QTemporaryDir home;
};

}  // namespace

TEST_F(Tarvel3Process, VersionAndHelpNeedNoDisplay)
{
    const Outcome version = RunTarvel3({"--version"}, HeadlessEnvironment(home));
    ASSERT_TRUE(version.finished);
    EXPECT_EQ(version.exitCode, 0) << version.err.toStdString();
    const QStringList lines = version.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), "Tarvel3 Application 1.0.0.1");
    for (const char* line :
         {"FileDescription: Tarvel3 MFC Application", "FileVersion: 1, 0, 0, 1", "InternalName: Tarvel3",
          "OriginalFilename: Tarvel3.EXE", "ProductName: Tarvel3 Application", "ProductVersion: 1, 0, 0, 1"})
        EXPECT_TRUE(lines.contains(line)) << line << "\n" << version.out.toStdString();

    const Outcome help = RunTarvel3({"--help"}, HeadlessEnvironment(home));
    ASSERT_TRUE(help.finished);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: Tarvel3 [FILE]")) << help.out.toStdString();
}

TEST_F(Tarvel3Process, AFileThatCannotBeOpenedIsReportedAndTheProgramEndsWithAFailure)
{
    QProcessEnvironment environment = HeadlessEnvironment(home);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    const QString missing = home.filePath("no-such-document.tv3");
    const Outcome outcome = RunTarvel3({missing}, environment);
    ASSERT_TRUE(outcome.finished);
    EXPECT_NE(outcome.exitCode, 0);
    EXPECT_TRUE(outcome.err.contains("Cannot open \"" + missing + "\": No such file or directory."))
        << outcome.err.toStdString();
}

// Every image of the programs is a PNG, which Qt reads itself; no image
// plugin (nor libjpeg) is loaded to show the main window.
TEST_F(Tarvel3Process, StartsWithoutLoadingAnyImagePlugin)
{
    QProcessEnvironment environment = HeadlessEnvironment(home);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("TARVEL_STARTUP_PROBE", "1");
    environment.insert("LD_DEBUG", "files");
    const Outcome outcome = RunTarvel3({}, environment);
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    // The loader's trace: the window's libraries were loaded, no image plugin.
    EXPECT_TRUE(outcome.err.contains("libQt6Widgets")) << outcome.err.toStdString();
    EXPECT_FALSE(outcome.err.contains("/imageformats/"));
    EXPECT_FALSE(outcome.err.contains("libjpeg"));
}

TEST_F(Tarvel3Process, WithoutADisplayItSaysHowToRunItInsteadOfAborting)
{
    const Outcome outcome = RunTarvel3({}, HeadlessEnvironment(home));
    ExpectEndedWithOneSaying(outcome, "Tarvel3 needs a graphical display");
    EXPECT_TRUE(outcome.err.contains("xvfb-run -a")) << outcome.err.toStdString();

    // Asking for X11 explicitly needs its server just the same.
    QProcessEnvironment x11 = HeadlessEnvironment(home);
    x11.insert("QT_QPA_PLATFORM", "xcb");
    ExpectEndedWithOneSaying(RunTarvel3({}, x11), "needs a graphical display");

    // Unknown options are refused before anything starts.
    const Outcome option = RunTarvel3({"--frobnicate"}, HeadlessEnvironment(home));
    ASSERT_TRUE(option.finished);
    EXPECT_NE(option.exitCode, 0);
}

#ifdef TARVEL_TEST_X11
TEST_F(Tarvel3Process, AStaleDisplayIsReportedLikeAMissingOne)
{
    QProcessEnvironment environment = HeadlessEnvironment(home);
    environment.insert("DISPLAY", ":9731");
    ExpectEndedWithOneSaying(RunTarvel3({}, environment), "no X server answers on DISPLAY :9731");
}
#endif

// Found by a hostile run: a FIFO for the settings file kept the program from
// ever starting, and a document named in Latin-1 was reported missing.
TEST_F(Tarvel3Process, StartsWithAFifoForItsSettingsAndOpensADocumentNamedInLatin1)
{
    QProcessEnvironment environment = HeadlessEnvironment(home);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("TARVEL_STARTUP_PROBE", "1");
    const QString settingsFolder = home.filePath("config/Local AppWizard-Generated Applications");
    ASSERT_TRUE(QDir().mkpath(settingsFolder));
    const QString settings = settingsFolder + "/Tarvel3.conf";
    ASSERT_EQ(mkfifo(QFile::encodeName(settings).constData(), 0600), 0);
    const std::string document = QFile::encodeName(home.path()).toStdString() + "/caf\xe9.txt";
    std::ofstream(document) << "some bytes";

    // QProcess hands arguments over as text; the shell makes the byte.
    const Outcome outcome =
        RunProgram("/bin/sh", {"-c", "exec \"$0\" \"$1$(printf '\\351').txt\"", TARVEL3_PROGRAM, home.filePath("caf")},
                   environment);
    std::filesystem::remove(document);  // a name QTemporaryDir cannot remove
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    EXPECT_FALSE(outcome.err.contains("Cannot open")) << outcome.err.toStdString();
    EXPECT_TRUE(outcome.err.contains("Tarvel3: settings file \"" + settings +
                                     "\" not used: it is a pipe (FIFO), not a regular file."))
        << outcome.err.toStdString();
    EXPECT_TRUE(QFileInfo(settings).exists() && !QFileInfo(settings).isFile()) << "the FIFO was replaced";
}
