#include "shots.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include <cstdio>

namespace {

void Settle(QWidget* window)
{
    window->show();
    window->raise();
    QApplication::processEvents();
    QApplication::processEvents();
}

}  // namespace

bool ShotWriter::Write(const QPixmap& picture, const QString& name)
{
    const QString path = m_folder.filePath(name + QStringLiteral(".png"));
    if (picture.isNull() || !picture.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    m_written << path;
    return true;
}

bool ShotWriter::Save(QWidget* window, const QString& name)
{
    if (!window) {
        std::fprintf(stderr, "no window for %s\n", qPrintable(name));
        return false;
    }
    Settle(window);
    return Write(window->grab(), name);
}

bool ShotWriter::SaveWithMenuOpen(QWidget* window, const QString& menuTitle, const QString& name)
{
    auto* mainWindow = qobject_cast<QMainWindow*>(window);
    if (!mainWindow)
        return false;
    Settle(window);
    QMenuBar* menuBar = mainWindow->menuBar();
    QAction* popupAction = nullptr;
    for (QAction* action : menuBar->actions())
        if (action->text() == menuTitle)
            popupAction = action;
    if (!popupAction || !popupAction->menu())
        return false;

    // The popup is a window of its own: render it and lay it over the main
    // window where it opens, below its title in the menu bar.
    QMenu* menu = popupAction->menu();
    const QPoint below = menuBar->actionGeometry(popupAction).bottomLeft();
    const QPoint inWindow = menuBar->mapTo(window, below);
    menu->popup(menuBar->mapToGlobal(below));
    QApplication::processEvents();
    const QPixmap menuPicture = menu->grab();
    menu->hide();

    QPixmap base = window->grab();
    const QSize size(std::max(base.width(), inWindow.x() + menuPicture.width()),
                     std::max(base.height(), inWindow.y() + menuPicture.height()));
    QPixmap combined(size);
    combined.fill(Qt::transparent);
    QPainter painter(&combined);
    painter.drawPixmap(0, 0, base);
    painter.drawPixmap(inWindow, menuPicture);
    painter.end();
    return Write(combined, name);
}
