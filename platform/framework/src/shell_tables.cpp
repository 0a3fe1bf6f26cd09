#include "framework/shell_tables.h"

#include "framework/resources.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The section's entry for resource nID, or an undefined value.
QJsonValue SectionEntry(const char* section, UINT nID)
{
    const auto& sections = AfxGetResources().Sections();
    const auto it = sections.find(section);
    if (it == sections.end())
        return QJsonValue(QJsonValue::Undefined);
    const QJsonObject table = QJsonDocument::fromJson(QByteArray::fromStdString(it->second)).object();
    return table.value(QString::number(nID));
}

std::string Text(const QJsonObject& object, const char* key)
{
    return object.value(key).toString().toStdString();
}

MenuItemTemplate ReadMenuItem(const QJsonObject& object)
{
    MenuItemTemplate item;
    item.separator = object.value("separator").toBool();
    item.text = Text(object, "text");
    item.id = static_cast<UINT>(object.value("id").toInt());
    item.grayed = object.value("grayed").toBool();
    for (const QJsonValue& child : object.value("items").toArray())
        item.items.push_back(ReadMenuItem(child.toObject()));
    return item;
}

}  // namespace

std::string VersionBlock::String(const char* name) const
{
    const auto it = strings.find(name);
    return it == strings.end() ? std::string() : it->second;
}

std::optional<std::vector<MenuItemTemplate>> LoadMenuTemplate(UINT nID)
{
    const QJsonValue entry = SectionEntry("menus", nID);
    if (!entry.isArray())
        return std::nullopt;
    std::vector<MenuItemTemplate> popups;
    for (const QJsonValue& popup : entry.toArray())
        popups.push_back(ReadMenuItem(popup.toObject()));
    return popups;
}

std::optional<std::vector<AcceleratorTemplate>> LoadAcceleratorTable(UINT nID)
{
    const QJsonValue entry = SectionEntry("accelerators", nID);
    if (!entry.isArray())
        return std::nullopt;
    std::vector<AcceleratorTemplate> table;
    for (const QJsonValue& value : entry.toArray()) {
        const QJsonObject object = value.toObject();
        table.push_back({Text(object, "key"), static_cast<UINT>(object.value("id").toInt())});
    }
    return table;
}

std::optional<ToolBarTemplate> LoadToolBarTemplate(UINT nID)
{
    const QJsonValue entry = SectionEntry("toolbars", nID);
    if (!entry.isObject())
        return std::nullopt;
    const QJsonObject object = entry.toObject();
    ToolBarTemplate toolbar;
    toolbar.image = Text(object, "image");
    const QJsonArray size = object.value("button").toArray();
    if (size.size() == 2) {
        toolbar.buttonWidth = size[0].toInt();
        toolbar.buttonHeight = size[1].toInt();
    }
    for (const QJsonValue& item : object.value("items").toArray())
        toolbar.items.push_back(static_cast<UINT>(item.toInt()));
    return toolbar;
}

std::optional<VersionBlock> LoadVersionBlock()
{
    const auto& sections = AfxGetResources().Sections();
    const auto it = sections.find("version");
    if (it == sections.end())
        return std::nullopt;
    const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(it->second)).object();
    VersionBlock version;
    version.fileVersion = Text(object, "fileVersion");
    version.productVersion = Text(object, "productVersion");
    version.block = Text(object, "block");
    const QJsonObject strings = object.value("strings").toObject();
    for (auto s = strings.begin(); s != strings.end(); ++s)
        version.strings[s.key().toStdString()] = s.value().toString().toStdString();
    return version;
}

CommandStrings LoadCommandStrings(UINT nID)
{
    const std::string text = AfxGetResources().LoadString(static_cast<int>(nID));
    const auto newline = text.find('\n');
    if (newline == std::string::npos)
        return {text, {}};
    return {text.substr(0, newline), text.substr(newline + 1)};
}
