// A private temporary folder for the files a test opens and saves, removed
// with its contents at the end of the test.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <string>

class TempFiles {
public:
    std::string Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)).toStdString(); }

    // A file with these bytes; returns its path.
    std::string Write(const char* name, const QByteArray& bytes = "some bytes") const
    {
        QFile file(QString::fromStdString(Path(name)));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(bytes);
        return Path(name);
    }

    static qint64 SizeOf(const std::string& path) { return QFile(QString::fromStdString(path)).size(); }
    static bool Exists(const std::string& path) { return QFile::exists(QString::fromStdString(path)); }

private:
    QTemporaryDir m_dir;
};
