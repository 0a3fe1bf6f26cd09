#include "framework/resources.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace {

// Where the framework's own strings (command prompts, indicator names) live.
constexpr const char* kFrameworkFolder = ":/framework";

const ResourceSet* g_resources = nullptr;

[[noreturn]] void Abort(const QString& file, const QString& problem)
{
    std::fprintf(stderr, "Broken program resources in %s: %s\n", qPrintable(file), qPrintable(problem));
    std::fflush(stderr);
    std::abort();
}

const std::set<std::string>& KnownControlKinds()
{
    static const std::set<std::string> kinds{"defpushbutton", "pushbutton", "ltext", "edit", "autocheckbox", "icon"};
    return kinds;
}

std::vector<std::string> ReadStyles(const QJsonValue& value, const QString& file)
{
    if (value.isUndefined())
        return {};
    if (!value.isArray())
        Abort(file, "\"styles\" must be an array of names");
    std::vector<std::string> styles;
    for (const QJsonValue& style : value.toArray()) {
        if (!style.isString())
            Abort(file, "a style name is not a string");
        styles.push_back(style.toString().toStdString());
    }
    return styles;
}

// Reads a JSON array of exactly `count` integers.
std::vector<int> ReadInts(const QJsonValue& value, qsizetype count, const QString& file, const char* what)
{
    const QJsonArray array = value.toArray();
    if (!value.isArray() || array.size() != count)
        Abort(file, QStringLiteral("\"%1\" must be an array of %2 numbers").arg(what).arg(count));
    std::vector<int> numbers;
    for (const QJsonValue& number : array) {
        if (!number.isDouble())
            Abort(file, QStringLiteral("\"%1\" holds something that is not a number").arg(what));
        numbers.push_back(number.toInt());
    }
    return numbers;
}

ControlTemplate ReadControl(const QJsonObject& object, int dialogId, const QString& file)
{
    ControlTemplate control;
    control.id = object.value("id").toInt(-1);
    control.kind = object.value("kind").toString().toStdString();
    if (!KnownControlKinds().count(control.kind))
        Abort(file, QStringLiteral("dialog %1 has a control of unknown kind \"%2\"")
                        .arg(dialogId)
                        .arg(QString::fromStdString(control.kind)));
    const QJsonValue text = object.value("text");
    if (text.isDouble())  // icons name their image by number
        control.text = std::to_string(text.toInt());
    else
        control.text = text.toString().toStdString();
    control.styles = ReadStyles(object.value("styles"), file);
    const std::vector<int> rect = ReadInts(object.value("rect"), 4, file, "rect");
    control.x = rect[0];
    control.y = rect[1];
    control.cx = rect[2];
    control.cy = rect[3];
    return control;
}

DialogTemplate ReadDialog(const QJsonObject& object, const QString& file)
{
    DialogTemplate dialog;
    if (!object.value("id").isDouble())
        Abort(file, "a dialog without a numeric \"id\"");
    dialog.id = object.value("id").toInt();
    dialog.caption = object.value("caption").toString().toStdString();
    const std::vector<int> size = ReadInts(object.value("size"), 2, file, "size");
    dialog.cx = size[0];
    dialog.cy = size[1];
    const QJsonValue font = object.value("font");
    if (!font.isUndefined()) {
        const QJsonArray fontArray = font.toArray();
        if (fontArray.size() != 2 || !fontArray[0].isString() || !fontArray[1].isDouble())
            Abort(file, QStringLiteral("dialog %1: \"font\" must be [name, point size]").arg(dialog.id));
        dialog.fontName = fontArray[0].toString().toStdString();
        dialog.pointSize = fontArray[1].toInt();
    }
    dialog.styles = ReadStyles(object.value("styles"), file);
    const QJsonValue controls = object.value("controls");
    if (!controls.isUndefined() && !controls.isArray())
        Abort(file, QStringLiteral("dialog %1: \"controls\" must be an array").arg(dialog.id));
    for (const QJsonValue& control : controls.toArray()) {
        if (!control.isObject())
            Abort(file, QStringLiteral("dialog %1: a control is not an object").arg(dialog.id));
        dialog.controls.push_back(ReadControl(control.toObject(), dialog.id, file));
    }
    return dialog;
}

// Later files add to a section that an earlier file started: objects gain
// keys, arrays gain entries.
QJsonValue MergeSection(const QJsonValue& earlier, const QJsonValue& later, const QString& name, const QString& file)
{
    if (earlier.isObject() && later.isObject()) {
        QJsonObject merged = earlier.toObject();
        const QJsonObject added = later.toObject();
        for (auto it = added.begin(); it != added.end(); ++it)
            merged.insert(it.key(), it.value());
        return merged;
    }
    if (earlier.isArray() && later.isArray()) {
        QJsonArray merged = earlier.toArray();
        for (const QJsonValue& value : later.toArray())
            merged.append(value);
        return merged;
    }
    Abort(file, QStringLiteral("section \"%1\" has a different shape than in an earlier file").arg(name));
}

QStringList JsonFilesIn(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, {QStringLiteral("*.json")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
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

ResourceSet ResourceSet::Load(const QString& folder)
{
    ResourceSet set;
    set.m_folder = folder.toStdString();
    QStringList files = JsonFilesIn(QString::fromLatin1(kFrameworkFolder));
    const QStringList programFiles = JsonFilesIn(folder);
    if (programFiles.isEmpty())
        Abort(folder, "no resource files in this folder");
    files += programFiles;

    std::map<std::string, QJsonValue> sections;
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            Abort(path, file.errorString());
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
        if (error.error != QJsonParseError::NoError)
            Abort(path, QStringLiteral("%1 at offset %2").arg(error.errorString()).arg(error.offset));
        if (!document.isObject())
            Abort(path, "the file must hold one JSON object");
        const QJsonObject root = document.object();
        for (auto it = root.begin(); it != root.end(); ++it) {
            const QString name = it.key();
            if (name == QLatin1String("dialogs")) {
                if (!it.value().isArray())
                    Abort(path, "\"dialogs\" must be an array");
                for (const QJsonValue& dialog : it.value().toArray()) {
                    if (!dialog.isObject())
                        Abort(path, "a dialog is not an object");
                    DialogTemplate parsed = ReadDialog(dialog.toObject(), path);
                    const int id = parsed.id;
                    if (!set.m_dialogs.emplace(id, std::move(parsed)).second)
                        Abort(path, QStringLiteral("dialog %1 is defined twice").arg(id));
                }
            } else if (name == QLatin1String("strings")) {
                if (!it.value().isObject())
                    Abort(path, "\"strings\" must be an object of id: text");
                const QJsonObject strings = it.value().toObject();
                for (auto s = strings.begin(); s != strings.end(); ++s) {
                    bool isNumber = false;
                    const int id = s.key().toInt(&isNumber);
                    if (!isNumber || !s.value().isString())
                        Abort(path, QStringLiteral("string \"%1\" needs a numeric id and a text").arg(s.key()));
                    set.m_strings[id] = s.value().toString().toStdString();
                }
            } else {
                const std::string key = name.toStdString();
                const auto earlier = sections.find(key);
                if (earlier == sections.end())
                    sections.emplace(key, it.value());
                else
                    earlier->second = MergeSection(earlier->second, it.value(), name, path);
            }
        }
    }
    for (const auto& [name, value] : sections) {
        const QJsonDocument document =
            value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
        if (!value.isArray() && !value.isObject())
            Abort(folder, QStringLiteral("section \"%1\" must be an object or an array").arg(QString::fromStdString(name)));
        set.m_sections[name] = document.toJson(QJsonDocument::Compact).toStdString();
    }
    return set;
}

const DialogTemplate* ResourceSet::FindDialog(int id) const
{
    const auto it = m_dialogs.find(id);
    return it == m_dialogs.end() ? nullptr : &it->second;
}

std::string ResourceSet::LoadString(int id) const
{
    const auto it = m_strings.find(id);
    return it == m_strings.end() ? std::string() : it->second;
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
