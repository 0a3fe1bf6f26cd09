// The most-recently-used file list of the application profile: newest first,
// no duplicates, a fixed number of entries, kept in the program's settings
// ("Recent File List", "File1" ... ) and written back on every change.
//
// The entries are native file names (bytes, see native_path.h): a name that
// is valid UTF-8 is kept in the settings as text, any other as a byte array,
// so that every listed file opens again. A settings file that is there but is
// no regular file (a FIFO, which would block the start waiting for a writer;
// a device; a folder) is neither read nor written, and the program starts
// with an empty list; one line on the error output says so.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class CRecentFileList {
public:
    CRecentFileList(QString organisation, QString application, int nSize);

    const QList<QByteArray>& Files() const { return m_files; }

    void ReadList();
    void WriteList() const;
    // Puts the file (made absolute) first.
    void Add(const QByteArray& path);
    void Remove(int index);

    // The menu text of entry index: "&1 /path/name".
    QString MenuText(int index) const;

    // The file the list is kept in.
    const QString& SettingsFile() const { return m_settingsFile; }

private:
    // False, after saying why once, when the settings file must be left alone.
    bool MayUseSettingsFile() const;

    QString m_application;
    QString m_settingsFile;
    int m_nSize;
    QList<QByteArray> m_files;
    mutable bool m_refusalTold = false;
};
