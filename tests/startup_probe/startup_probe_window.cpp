// A program with one window that tells what it got to do: it prints
// "painted" from its window's paint handler and, left to itself, ends with
// status 3 right after that first paint.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

class ReportingWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        std::printf("painted\n");
        if (!m_ending) {
            m_ending = true;
            QTimer::singleShot(0, [] { QCoreApplication::exit(3); });
        }
    }

private:
    bool m_ending = false;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ReportingWindow window;
    window.resize(200, 100);
    window.show();
    const int status = app.exec();
    std::printf("ended by itself\n");
    return status;
}
