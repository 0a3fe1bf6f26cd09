#include "framework/resources.h"

#include "resource_reader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// Where the framework's own strings (command prompts, indicator names) live.
constexpr const char* kFrameworkFolder = ":/framework";

const ResourceSet* g_resources = nullptr;

QStringList JsonFilesIn(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, {QStringLiteral("*.json")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

template <class Map>
const typename Map::mapped_type* Find(const Map& map, typename Map::key_type id)
{
    const auto it = map.find(id);
    return it == map.end() ? nullptr : &it->second;
}

}  // namespace

bool ControlTemplate::HasStyle(const char* style) const
{
    return std::find(styles.begin(), styles.end(), style) != styles.end();
}

const ControlTemplate* DialogTemplate::FindControl(int controlId) const
{
    for (const ControlTemplate& control : controls)
        if (control.id == controlId)
            return &control;
    return nullptr;
}

std::string VersionBlock::String(const char* name) const
{
    const auto it = strings.find(name);
    return it == strings.end() ? std::string() : it->second;
}

ResourceSet ResourceSet::Load(const QString& folder)
{
    ResourceSet set;
    set.m_folder = folder.toStdString();
    QStringList files = JsonFilesIn(QString::fromLatin1(kFrameworkFolder));
    const QStringList programFiles = JsonFilesIn(folder);
    if (programFiles.isEmpty())
        AbortOnBrokenResources(folder, QStringLiteral("no resource files in this folder"));
    files += programFiles;

    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            AbortOnBrokenResources(path, file.errorString());
        ReadResourceFile(path, file.readAll(), set.m_tables);
    }
    return set;
}

const DialogTemplate* ResourceSet::FindDialog(int id) const
{
    return Find(m_tables.dialogs, id);
}

std::string ResourceSet::LoadString(int id) const
{
    const std::string* text = Find(m_tables.strings, id);
    return text ? *text : std::string();
}

const std::vector<MenuItemTemplate>* ResourceSet::FindMenu(UINT id) const
{
    return Find(m_tables.menus, id);
}

const std::vector<AcceleratorTemplate>* ResourceSet::FindAccelerators(UINT id) const
{
    return Find(m_tables.accelerators, id);
}

const ToolBarTemplate* ResourceSet::FindToolBar(UINT id) const
{
    return Find(m_tables.toolbars, id);
}

const VersionBlock* ResourceSet::Version() const
{
    return m_tables.version.empty() ? nullptr : &m_tables.version.front();
}

void AfxSetResources(const ResourceSet* resources)
{
    g_resources = resources;
}

const ResourceSet& AfxGetResources()
{
    if (!g_resources) {
        std::fprintf(stderr, "No program resources were installed before a window was made\n");
        std::fflush(stderr);
        std::abort();
    }
    return *g_resources;
}
