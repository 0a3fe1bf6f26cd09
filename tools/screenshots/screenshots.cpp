// Renders every window and dialog of both programs to PNG files, headless:
//   tarvel_screenshots FOLDER
// Prompts are answered by the test seam; the RSA wizard runs on the component
// the programs would load (the bundled one unless TARVEL_COMPONENT says
// otherwise). Exits non-zero when a picture could not be made or a program
// showed a message while being photographed.
#include "shots.h"

#include "des_hash_tests/test_des.h"
#include "des_hash_tests/test_dialog_resource_ids.h"
#include "des_hash_tests/test_md5.h"
#include "des_hash_tests/test_sha1.h"
#include "framework/frame.h"
#include "framework/prompts.h"
#include "framework/property_sheet.h"
#include "framework/resources.h"
#include "framework/view.h"
#include "rsa_wizard/rsa_wizard.h"
#include "rsa_wizard/wizard_resource_ids.h"
#include "shell/about_dlg.h"
#include "shell/program_session.h"
#include "tarvel2/tarvel2_app.h"
#include "tarvel2/tarvel2_view.h"
#include "tarvel3/tarvel3_app.h"
#include "tarvel3/tarvel3_view.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QToolBar>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// The offscreen platform warns about every window feature it lacks; those
// warnings say nothing about the programs.
QtMessageHandler g_previousHandler = nullptr;

void QuietPlatformWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

// The main window with the mouse over the toolbar button of a command: the
// status bar shows the command's prompt.
bool SaveWithButtonHovered(ShotWriter& shots, QWidget* window, UINT command, const QString& name)
{
    auto* toolbar = window ? window->findChild<QToolBar*>() : nullptr;
    if (!toolbar)
        return false;
    for (QAction* action : toolbar->actions()) {
        if (action->property("commandId").toUInt() != command)
            continue;
        QWidget* button = toolbar->widgetForAction(action);
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QCoreApplication::sendEvent(button, &enter);
        const bool saved = shots.Save(window, name);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(button, &leave);
        return saved;
    }
    return false;
}

// The wizard is photographed page by page below instead of running modally.
void NoWizardAtStart(CWnd*) {}

// A dialog created without its modal loop, so that it can be driven and
// photographed; destroyed when this goes.
template <class Dialog>
bool SaveDialog(ShotWriter& shots, Dialog& dialog, const QString& name, int buttonToPress)
{
    if (!dialog.Create())
        return false;
    if (buttonToPress != 0)
        dialog.OnCommand(buttonToPress);
    const bool saved = shots.Save(dialog.GetSafeHwnd(), name);
    dialog.DestroyWindow();
    return saved;
}

bool ShootTarvel2(ShotWriter& shots)
{
    CTarvel2View::ReplaceInitialUpdateAction(&NoWizardAtStart);
    ProgramSession<CTarvel2App> program;
    CTarvel2View::ReplaceInitialUpdateAction(nullptr);
    if (!program.Started() || !program.Window())
        return false;
    bool ok = shots.Save(program.Window(), "tarvel2-main");
    ok = shots.SaveWithMenuOpen(program.Window(), "&File", "tarvel2-main-file-menu") && ok;

    CAboutDlg about;
    ok = SaveDialog(shots, about, "tarvel2-about", 0) && ok;

    RsaWizard wizard(program.Frame()->GetActiveView());
    CPropertySheet& sheet = wizard.Sheet();
    if (!sheet.Create())
        return false;
    QWidget* window = sheet.GetSafeHwnd();
    ok = shots.Save(window, "tarvel2-wizard-1-key-generation") && ok;
    ok = sheet.PressButton(PSBTN_NEXT) && sheet.GetActiveIndex() == 1 && ok;
    ok = shots.Save(window, "tarvel2-wizard-2-keys") && ok;
    ok = sheet.PressButton(PSBTN_NEXT) && ok;
    wizard.Rsa3Page().OnCommand(IDC_TEST);
    ok = shots.Save(window, "tarvel2-wizard-3-round-trip") && ok;
    ok = sheet.PressButton(PSBTN_NEXT) && ok;
    ok = shots.Save(window, "tarvel2-wizard-4-key-save") && ok;
    return ok;
}

bool ShootTarvel3(ShotWriter& shots, const QString& sampleFile)
{
    ProgramSession<CTarvel3App> program;
    if (!program.Started() || !program.Window())
        return false;
    bool ok = shots.Save(program.Window(), "tarvel3-main");
    ok = shots.SaveWithMenuOpen(program.Window(), "&File", "tarvel3-main-file-menu") && ok;
    ok = SaveWithButtonHovered(shots, program.Window(), ID_TEST_SHA1, "tarvel3-main-sha1-button-prompt") && ok;

    CAboutDlg about;
    ok = SaveDialog(shots, about, "tarvel3-about", 0) && ok;

    CTestDES des(program.Frame()->GetActiveView());
    ok = SaveDialog(shots, des, "tarvel3-des-after-test", tarvel3_ids::IDC_TEST) && ok;
    PromptSeam::QueueFileDialogAnswer(sampleFile.toStdString());
    CTestSHA1 sha1(program.Frame()->GetActiveView());
    ok = SaveDialog(shots, sha1, "tarvel3-sha1-after-file", tarvel3_ids::IDC_FILENAME_BUTTON) && ok;
    CTestMD5 md5(program.Frame()->GetActiveView());
    ok = SaveDialog(shots, md5, "tarvel3-md5-after-test", tarvel3_ids::IDC_TEST) && ok;
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: %s FOLDER\nRenders the windows of Tarvel2 and Tarvel3 to PNG files in FOLDER.\n",
                     argc > 0 ? argv[0] : "tarvel_screenshots");
        return 2;
    }
    // Headless, and with a profile of its own: the programs' recent-file
    // lists of the user stay untouched.
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        return 1;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("XDG_CONFIG_HOME", qPrintable(scratch.filePath("config")), 1);
    setenv("XDG_RUNTIME_DIR", qPrintable(scratch.path()), 1);
    QFile::setPermissions(scratch.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    g_previousHandler = qInstallMessageHandler(&QuietPlatformWarnings);
    QApplication application(argc, argv);
    PromptSeam::AnswerUnattended();

    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot make the folder %s\n", qPrintable(folder));
        return 1;
    }
    const QString sampleFile = scratch.filePath("quick-brown-fox.txt");
    QFile sample(sampleFile);
    if (!sample.open(QIODevice::WriteOnly) || sample.write("The quick brown fox jumps over the lazy dog") < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(sampleFile));
        return 1;
    }
    sample.close();

    ShotWriter shots(folder);
    bool ok = ShootTarvel2(shots);
    ok = ShootTarvel3(shots, sampleFile) && ok;

    for (const std::string& message : PromptSeam::TakeMessages()) {
        std::fprintf(stderr, "a program said: %s\n", message.c_str());
        ok = false;
    }
    for (const QString& path : shots.Written())
        std::printf("%s\n", qPrintable(path));
    return ok ? 0 : 1;
}
