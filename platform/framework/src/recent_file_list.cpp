#include "framework/recent_file_list.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

constexpr const char* kSection = "Recent File List";

}  // namespace

CRecentFileList::CRecentFileList(QString organisation, QString application, int nSize)
    : m_organisation(std::move(organisation)), m_application(std::move(application)), m_nSize(nSize)
{
}

void CRecentFileList::ReadList()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, m_organisation, m_application);
    settings.beginGroup(kSection);
    m_files.clear();
    for (int i = 0; i < m_nSize; ++i) {
        const QString path = settings.value(QStringLiteral("File%1").arg(i + 1)).toString();
        if (!path.isEmpty() && !m_files.contains(path))
            m_files << path;
    }
}

void CRecentFileList::WriteList() const
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, m_organisation, m_application);
    settings.remove(kSection);
    settings.beginGroup(kSection);
    for (int i = 0; i < m_files.size(); ++i)
        settings.setValue(QStringLiteral("File%1").arg(i + 1), m_files[i]);
    settings.endGroup();
    settings.sync();
}

void CRecentFileList::Add(const QString& path)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    m_files.removeAll(absolute);
    m_files.prepend(absolute);
    while (m_files.size() > m_nSize)
        m_files.removeLast();
    WriteList();
}

void CRecentFileList::Remove(int index)
{
    if (index < 0 || index >= m_files.size())
        return;
    m_files.removeAt(index);
    WriteList();
}

QString CRecentFileList::MenuText(int index) const
{
    QString path = QDir::toNativeSeparators(m_files.value(index));
    // A name with "&" would otherwise underline the next letter.
    path.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(path);
}
