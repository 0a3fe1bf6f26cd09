// The most-recently-used file list of the application profile: newest first,
// no duplicates, a fixed number of entries, kept in the program's settings
// ("Recent File List", "File1" ... ) and written back on every change.
#pragma once

#include <QString>
#include <QStringList>

class CRecentFileList {
public:
    CRecentFileList(QString organisation, QString application, int nSize);

    const QStringList& Files() const { return m_files; }

    void ReadList();
    void WriteList() const;
    // Puts the file (made absolute) first.
    void Add(const QString& path);
    void Remove(int index);

    // The menu text of entry index: "&1 /path/name".
    QString MenuText(int index) const;

private:
    QString m_organisation;
    QString m_application;
    int m_nSize;
    QStringList m_files;
};
