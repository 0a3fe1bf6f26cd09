#include "framework/recent_file_list.h"

#include "native_path.h"
#include "runtime/regular_file.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>

#include <cstdio>

namespace {

constexpr const char* kSection = "Recent File List";

}  // namespace

CRecentFileList::CRecentFileList(QString organisation, QString application, int nSize)
    // Where the profile of organisation and application lives in the user's
    // configuration folder. The file is named rather than left for QSettings
    // to find, because QSettings reads its files when it is made and this one
    // has to be looked at first.
    : m_application(std::move(application)),
      m_settingsFile(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
                     organisation + QLatin1Char('/') + m_application + QStringLiteral(".conf")),
      m_nSize(nSize)
{
}

bool CRecentFileList::MayUseSettingsFile() const
{
    const std::string reason = NonRegularFileReason(QFile::encodeName(m_settingsFile).constData());
    if (reason.empty())
        return true;
    if (!m_refusalTold) {
        m_refusalTold = true;
        std::fprintf(stderr,
                     "%s: settings file \"%s\" not used: %s. Starting with the default settings, which are "
                     "not saved.\n",
                     qPrintable(m_application), qPrintable(m_settingsFile), reason.c_str());
    }
    return false;
}

void CRecentFileList::ReadList()
{
    m_files.clear();
    if (!MayUseSettingsFile())
        return;
    QSettings settings(m_settingsFile, QSettings::IniFormat);
    settings.beginGroup(kSection);
    for (int i = 0; i < m_nSize; ++i) {
        const QVariant value = settings.value(QStringLiteral("File%1").arg(i + 1));
        const QByteArray path =
            value.typeId() == QMetaType::QByteArray ? value.toByteArray() : QFile::encodeName(value.toString());
        if (!path.isEmpty() && !m_files.contains(path))
            m_files << path;
    }
}

void CRecentFileList::WriteList() const
{
    // Checked again at every write: a FIFO put in its place later would
    // block the write (or the exit) as well.
    if (!MayUseSettingsFile())
        return;
    QSettings settings(m_settingsFile, QSettings::IniFormat);
    settings.remove(kSection);
    settings.beginGroup(kSection);
    for (int i = 0; i < m_files.size(); ++i) {
        const QString key = QStringLiteral("File%1").arg(i + 1);
        if (IsTextPath(m_files[i]))
            settings.setValue(key, QFile::decodeName(m_files[i]));
        else
            settings.setValue(key, m_files[i]);
    }
    settings.endGroup();
    settings.sync();
}

void CRecentFileList::Add(const QByteArray& path)
{
    const QByteArray absolute = QByteArray::fromStdString(AbsoluteNativePath(path.toStdString()));
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
    QString path = QDir::toNativeSeparators(QFile::decodeName(m_files.value(index)));
    // A name with "&" would otherwise underline the next letter.
    path.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(path);
}
