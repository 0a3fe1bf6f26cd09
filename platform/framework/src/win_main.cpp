#include "framework/app.h"

#include "display_check.h"
#include "on_demand_icon_style.h"
#include "framework/resources.h"
#include "framework/shell_tables.h"

#include <QApplication>
#include <QStyle>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

// The value of Qt's "-platform NAME" (or "--platform NAME") option, if given.
std::string PlatformOption(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-platform" || argument == "--platform")
            return argv[i + 1];
    }
    return {};
}

void PrintVersion(const std::string& name)
{
    const VersionBlock* version = LoadVersionBlock();
    if (!version) {
        std::printf("%s\n", name.c_str());
        return;
    }
    std::printf("%s %s\n", version->String("ProductName").c_str(), version->productVersion.c_str());
    for (const auto& [key, value] : version->strings)
        if (!value.empty())
            std::printf("%s: %s\n", key.c_str(), value.c_str());
}

void PrintHelp(const std::string& name)
{
    std::printf("Usage: %s [FILE]\n"
                "Starts %s with a new, empty document, or with FILE opened as its document.\n"
                "\n"
                "Options:\n"
                "  --help     show this help and exit\n"
                "  --version  show the version and exit\n"
                "Qt's own options (for example -platform offscreen) are accepted as well.\n"
                "\n"
                "Environment:\n"
                "  TARVEL_COMPONENT  absolute path of a crypto component library to load\n"
                "                    instead of the bundled one\n"
                "\n"
                "%s needs a graphical display; without one, run it under Xvfb:\n"
                "  xvfb-run -a %s\n",
                name.c_str(), name.c_str(), name.c_str(), name.c_str());
}

}  // namespace

int AfxWinMain(int argc, char** argv)
{
    CWinApp* app = AfxGetApp();
    if (!app) {
        std::fprintf(stderr, "No application object\n");
        return 1;
    }
    const std::string invokedAs = argc > 0 && argv[0] ? argv[0] : "program";

    // The tables are data in the program, readable before Qt starts, so that
    // --help and --version work without a display.
    const ResourceSet resources = ResourceSet::Load(QString::fromStdString(app->GetResourceFolder()));
    AfxSetResources(&resources);
    const std::string name = app->GetAppName().str();
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            PrintHelp(name);
            AfxSetResources(nullptr);
            return 0;
        }
        if (argument == "--version") {
            PrintVersion(name);
            AfxSetResources(nullptr);
            return 0;
        }
    }

    std::optional<QApplication> qtApplication;
    if (!QCoreApplication::instance()) {
        // Qt aborts with a terse message when it finds no display; say what
        // to do instead.
        const DisplayCheck display = CheckDisplay(PlatformOption(argc, argv));
        if (!display.usable) {
            std::fprintf(stderr,
                         "%s needs a graphical display, and there is none: %s.\nStart it from a desktop session, "
                         "or under a virtual X server:\n  xvfb-run -a %s\n",
                         name.c_str(), display.problem.c_str(), invokedAs.c_str());
            AfxSetResources(nullptr);
            return 1;
        }
        // Takes Qt's own options out of argv.
        qtApplication.emplace(argc, argv);
        // The style Qt chose (the desktop's, or -style, or QT_STYLE_OVERRIDE),
        // with nothing read before it is needed (see on_demand_icon_style.h).
        QApplication::setStyle(new OnDemandIconStyle(QApplication::style()->name()));
    }
    // Message boxes take the application's title as their caption, from the
    // first one on (even "OLE error", before the profile is set up). Only the
    // name: a display name would be appended to every dialog's caption.
    QCoreApplication::setApplicationName(QString::fromStdString(name));
    // Lets the desktop match the windows to the installed entry io.github.tarvel.<name in lower
    // case>.desktop (desktop/) and its icon.
    QGuiApplication::setDesktopFileName("io.github.tarvel." + QString::fromStdString(name).toLower());

    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.size() > 1 && argument[0] == '-') {
            std::fprintf(stderr, "%s: unknown option %s (see --help)\n", name.c_str(), argument.c_str());
            app->CloseAllDocuments();
            AfxSetResources(nullptr);
            return 2;
        }
        files.push_back(argument);
    }
    if (files.size() > 1) {
        std::fprintf(stderr, "%s: only one file can be opened (see --help)\n", name.c_str());
        AfxSetResources(nullptr);
        return 2;
    }
    app->SetCommandLineArguments(files);

    int status = 1;
    if (app->InitInstance()) {
        const int loopStatus = QApplication::exec();
        const int exitStatus = app->ExitInstance();
        status = loopStatus != 0 ? loopStatus : exitStatus;
    } else {
        // The start failed; the user has been told why.
        const int exitStatus = app->ExitInstance();
        status = exitStatus != 0 ? exitStatus : 1;
    }
    // Windows go before the Qt application that they need.
    app->CloseAllDocuments();
    AfxSetResources(nullptr);
    return status;
}
