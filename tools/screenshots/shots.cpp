#include "shots.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <cstdio>

namespace {

void Settle(QWidget* window)
{
    window->show();
    QApplication::processEvents();
    QApplication::processEvents();
}

// Offscreen windows have no frame; draw a plain title bar with the window's
// caption above the picture so that captions can be checked too.
QPixmap WithTitleBar(const QPixmap& body, const QString& caption)
{
    QFont font = QApplication::font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int barHeight = metrics.height() + 8;
    const int width = body.width() + 2;
    QPixmap framed(width, body.height() + barHeight + 1);
    framed.fill(QColor(64, 64, 64));
    QPainter painter(&framed);
    painter.fillRect(QRect(1, 1, width - 2, barHeight - 1), QColor(0, 0, 128));
    painter.setPen(Qt::white);
    painter.setFont(font);
    const QRect textArea(8, 1, width - 16, barHeight - 1);
    painter.drawText(textArea, Qt::AlignVCenter | Qt::AlignLeft,
                     metrics.elidedText(caption, Qt::ElideRight, textArea.width()));
    painter.drawPixmap(1, barHeight, body);
    painter.end();
    return framed;
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
    return Write(WithTitleBar(window->grab(), window->windowTitle()), name);
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
    combined.fill(window->palette().color(QPalette::Window));
    QPainter painter(&combined);
    painter.drawPixmap(0, 0, base);
    painter.drawPixmap(inWindow, menuPicture);
    painter.end();
    return Write(WithTitleBar(combined, window->windowTitle()), name);
}
