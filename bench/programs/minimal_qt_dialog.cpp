// The start-up references: a Qt Widgets program that shows one dialog and
// does nothing else. Empty, it never loads a font; with --text it shows a
// label and a button, so it initialises fontconfig, FreeType and HarfBuzz
// as every window with text does, which makes it the fair reference for the
// programs. scripts/bench times both beside Tarvel2 and Tarvel3 with the same
// start-up probe (TARVEL_STARTUP_PROBE=1), compiled in.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstring>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QDialog dialog;
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0) {
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(new QLabel(QStringLiteral("A label"), &dialog));
        layout->addWidget(new QPushButton(QStringLiteral("OK"), &dialog));
    }
    dialog.show();
    return app.exec();
}
