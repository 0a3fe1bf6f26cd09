// Start-up timing hook. With TARVEL_STARTUP_PROBE=1 in the environment the
// program ends (status 0) as soon as its first top-level window has been
// shown and drawn, so a timer around the whole process measures start-up
// alone: loading, the application object, resources, and the first window up
// to its first complete paint. Without the variable nothing is installed and
// the program runs as usual.
//
// Every program linking the framework carries this file: the framework's
// link options name tarvel_startup_probe_anchor as undefined, so the linker
// keeps this object (and its static initialiser) out of the static library.
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

extern "C" {
extern const int tarvel_startup_probe_anchor;
const int tarvel_startup_probe_anchor = 1;
}

namespace {

// QEvent::Show arrives before the native window exists and before anything
// is drawn; a window full of controls does much of its start-up work after
// that (creating the window, painting every control, flushing). So the end is
// the first paint of a top-level window: the paint event is delivered after
// this filter returns, and a zero timer fires only once that paint and its
// flush are complete.
class FirstPaintExit : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_painted && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            m_painted = true;
            QTimer::singleShot(0, [] {
                std::fflush(nullptr);
                // No teardown: what follows the first window is not start-up.
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    bool m_painted = false;
};

void InstallFirstPaintExit()
{
    QCoreApplication* app = QCoreApplication::instance();
    app->installEventFilter(new FirstPaintExit(app));
}

[[maybe_unused]] const bool g_probeRegistered = [] {
    if (qEnvironmentVariableIntValue("TARVEL_STARTUP_PROBE") == 1)
        qAddPreRoutine(InstallFirstPaintExit);
    return true;
}();

}  // namespace
