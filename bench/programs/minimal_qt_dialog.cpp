// The start-up reference: a Qt Widgets program that shows one empty dialog
// and does nothing else. scripts/bench times it beside Tarvel2 and Tarvel3
// with the same start-up probe (TARVEL_STARTUP_PROBE=1), compiled in.
#include <QApplication>
#include <QDialog>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.show();
    return app.exec();
}
