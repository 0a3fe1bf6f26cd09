// Start-up timing hook. With TARVEL_STARTUP_PROBE=1 in the environment the
// program ends (status 0) the moment its first top-level window is shown, so
// a timer around the whole process measures start-up alone: loading, the
// application object, resources, and the first window. Without the variable
// nothing is installed and the program runs as usual.
//
// Every program linking the framework carries this file: the framework's
// link options name tarvel_startup_probe_anchor as undefined, so the linker
// keeps this object (and its static initialiser) out of the static library.
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

extern "C" {
extern const int tarvel_startup_probe_anchor;
const int tarvel_startup_probe_anchor = 1;
}

namespace {

class FirstShowExit : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
            std::fflush(nullptr);
            // No teardown: what follows the first window is not start-up.
            std::_Exit(0);
        }
        return false;
    }
};

void InstallFirstShowExit()
{
    QCoreApplication* app = QCoreApplication::instance();
    app->installEventFilter(new FirstShowExit(app));
}

[[maybe_unused]] const bool g_probeRegistered = [] {
    if (qEnvironmentVariableIntValue("TARVEL_STARTUP_PROBE") == 1)
        qAddPreRoutine(InstallFirstShowExit);
    return true;
}();

}  // namespace
