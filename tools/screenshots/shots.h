// Rendering windows of the programs to PNG files without a screen.
#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

class QWidget;

class ShotWriter {
public:
    explicit ShotWriter(const QString& folder) : m_folder(folder) {}

    // Shows the window (offscreen), lets it lay itself out and saves it as
    // <name>.png. Returns false, after saying why on stderr, when the file
    // cannot be written.
    bool Save(QWidget* window, const QString& name);
    // The window with a popup menu of its menu bar opened under its title.
    bool SaveWithMenuOpen(QWidget* window, const QString& menuTitle, const QString& name);

    const QStringList& Written() const { return m_written; }

private:
    bool Write(const class QPixmap& picture, const QString& name);

    QDir m_folder;
    QStringList m_written;
};
