#include "resource_reader.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeySequence>
#include <QString>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <set>

namespace {

// Resource ids are 16-bit throughout, as are the numbers of templates.
constexpr int kLargestId = 0xFFFF;

// Where in a file an entry is: "menus 128, popup \"&File\", item 3".
class Where {
public:
    explicit Where(const QString& file) : m_file(file) {}

    Where operator/(const QString& step) const
    {
        Where deeper = *this;
        deeper.m_steps << step;
        return deeper;
    }

    [[noreturn]] void Fail(const QString& expected) const
    {
        AbortOnBrokenResources(m_file, m_steps.join(QStringLiteral(", ")) + QStringLiteral(": ") + expected);
    }

private:
    QString m_file;
    QStringList m_steps;
};

QString Quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// What was found instead, for the message: "the string \"57603\"".
QString Found(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Undefined:
        return QStringLiteral("nothing");
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Double:
        return QStringLiteral("the number %1").arg(value.toDouble());
    case QJsonValue::String:
        return QStringLiteral("the string ") + Quoted(value.toString());
    case QJsonValue::Array:
        return QStringLiteral("an array of %1").arg(value.toArray().size());
    case QJsonValue::Object:
        return QStringLiteral("an object");
    }
    return QStringLiteral("something else");
}

[[noreturn]] void Expected(const Where& where, const QString& key, const QString& expected, const QJsonValue& found)
{
    where.Fail(Quoted(key) + QStringLiteral(" must be ") + expected + QStringLiteral(", not ") + Found(found));
}

// Refuses keys the entry does not know, so that a misspelt one is not
// silently ignored.
void OnlyKeys(const QJsonObject& object, std::initializer_list<const char*> known, const Where& where)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        bool isKnown = false;
        for (const char* key : known)
            isKnown = isKnown || it.key() == QLatin1String(key);
        if (!isKnown) {
            QStringList names;
            for (const char* key : known)
                names << QString::fromLatin1(key);
            where.Fail(QStringLiteral("unknown key %1 (known: %2)").arg(Quoted(it.key()), names.join(", ")));
        }
    }
}

QJsonObject ObjectOf(const QJsonValue& value, const Where& where, const QString& what)
{
    if (!value.isObject())
        where.Fail(what + QStringLiteral(" must be an object, not ") + Found(value));
    return value.toObject();
}

QJsonArray ArrayOf(const QJsonValue& value, const Where& where, const QString& what)
{
    if (!value.isArray())
        where.Fail(what + QStringLiteral(" must be an array, not ") + Found(value));
    return value.toArray();
}

bool IsWholeNumber(const QJsonValue& value, int lowest, int highest)
{
    if (!value.isDouble())
        return false;
    const double number = value.toDouble();
    return std::floor(number) == number && number >= lowest && number <= highest;
}

int WholeNumber(const QJsonValue& value, const Where& where, const QString& key, int lowest, int highest)
{
    if (!IsWholeNumber(value, lowest, highest))
        Expected(where, key, QStringLiteral("a whole number from %1 to %2").arg(lowest).arg(highest), value);
    return value.toInt();
}

UINT Id(const QJsonObject& object, const Where& where)
{
    return static_cast<UINT>(WholeNumber(object.value("id"), where, "id", 0, kLargestId));
}

std::string Text(const QJsonObject& object, const char* key, const Where& where, bool required)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() && !required)
        return {};
    if (!value.isString())
        Expected(where, key, QStringLiteral("a string"), value);
    return value.toString().toStdString();
}

bool Flag(const QJsonObject& object, const char* key, const Where& where)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        return false;
    if (!value.isBool())
        Expected(where, key, QStringLiteral("true or false"), value);
    return value.toBool();
}

// An array of exactly `count` whole numbers, each from 0 up.
std::vector<int> Numbers(const QJsonObject& object, const char* key, qsizetype count, const Where& where)
{
    const QJsonValue value = object.value(key);
    const QJsonArray array = value.toArray();
    bool fits = value.isArray() && array.size() == count;
    for (const QJsonValue& number : array)
        fits = fits && IsWholeNumber(number, 0, kLargestId);
    if (!fits)
        Expected(where, key, QStringLiteral("an array of %1 whole numbers").arg(count), value);
    std::vector<int> numbers;
    for (const QJsonValue& number : array)
        numbers.push_back(number.toInt());
    return numbers;
}

std::vector<std::string> Styles(const QJsonObject& object, const Where& where)
{
    const QJsonValue value = object.value("styles");
    if (value.isUndefined())
        return {};
    std::vector<std::string> styles;
    bool fits = value.isArray();
    for (const QJsonValue& style : value.toArray()) {
        fits = fits && style.isString();
        styles.push_back(style.toString().toStdString());
    }
    if (!fits)
        Expected(where, "styles", QStringLiteral("an array of names"), value);
    return styles;
}

// The entries of a table keyed by resource id: "menus": {"128": ...}.
using EntryReader = std::function<void(UINT id, const QJsonValue& entry, const Where& where)>;

void ForEachId(const QJsonValue& section, const Where& where, const EntryReader& read)
{
    const QJsonObject table = ObjectOf(section, where, QStringLiteral("the section"));
    for (auto it = table.begin(); it != table.end(); ++it) {
        bool isNumber = false;
        const uint id = it.key().toUInt(&isNumber);
        if (!isNumber || id > kLargestId)
            where.Fail(
                QStringLiteral("the key %1 must be a resource id from 0 to %2").arg(Quoted(it.key())).arg(kLargestId));
        read(static_cast<UINT>(id), it.value(), where / it.key());
    }
}

ControlTemplate ReadControl(const QJsonValue& value, const Where& where)
{
    static const std::set<std::string> kinds{"defpushbutton", "pushbutton", "ltext", "edit", "autocheckbox", "icon"};
    const QJsonObject object = ObjectOf(value, where, QStringLiteral("a control"));
    OnlyKeys(object, {"id", "kind", "text", "styles", "rect"}, where);
    ControlTemplate control;
    if (object.contains("id"))
        control.id = static_cast<int>(Id(object, where));
    control.kind = Text(object, "kind", where, true);
    if (!kinds.count(control.kind))
        Expected(where, "kind", QStringLiteral("one of defpushbutton, pushbutton, ltext, edit, autocheckbox, icon"),
                 object.value("kind"));
    const QJsonValue text = object.value("text");
    if (control.kind == "icon")  // an icon names its image by number
        control.text = std::to_string(WholeNumber(text, where, "text", 0, kLargestId));
    else
        control.text = Text(object, "text", where, false);
    control.styles = Styles(object, where);
    const std::vector<int> rect = Numbers(object, "rect", 4, where);
    control.x = rect[0];
    control.y = rect[1];
    control.cx = rect[2];
    control.cy = rect[3];
    return control;
}

DialogTemplate ReadDialog(const QJsonValue& value, const Where& section, qsizetype index)
{
    const QJsonObject object = ObjectOf(value, section, QStringLiteral("dialog %1").arg(index + 1));
    Where where = section / QStringLiteral("dialog %1").arg(index + 1);
    DialogTemplate dialog;
    dialog.id = static_cast<int>(Id(object, where));
    where = section / QStringLiteral("dialog %1").arg(dialog.id);
    OnlyKeys(object, {"id", "caption", "size", "font", "styles", "controls"}, where);
    dialog.caption = Text(object, "caption", where, false);
    const std::vector<int> size = Numbers(object, "size", 2, where);
    dialog.cx = size[0];
    dialog.cy = size[1];
    const QJsonValue font = object.value("font");
    if (!font.isUndefined()) {
        const QJsonArray parts = font.toArray();
        if (parts.size() != 2 || !parts[0].isString() || !IsWholeNumber(parts[1], 1, 72))
            Expected(where, "font", QStringLiteral("[name, point size]"), font);
        dialog.fontName = parts[0].toString().toStdString();
        dialog.pointSize = parts[1].toInt();
    }
    dialog.styles = Styles(object, where);
    if (object.contains("controls")) {
        const QJsonArray controls = ArrayOf(object.value("controls"), where, QStringLiteral("\"controls\""));
        for (qsizetype i = 0; i < controls.size(); ++i)
            dialog.controls.push_back(ReadControl(controls[i], where / QStringLiteral("control %1").arg(i + 1)));
    }
    return dialog;
}

void ReadDialogs(const QJsonValue& section, const Where& where, ResourceTables& tables)
{
    const QJsonArray dialogs = ArrayOf(section, where, QStringLiteral("the section"));
    for (qsizetype i = 0; i < dialogs.size(); ++i) {
        DialogTemplate dialog = ReadDialog(dialogs[i], where, i);
        const int id = dialog.id;
        if (!tables.dialogs.emplace(id, std::move(dialog)).second)
            (where / QStringLiteral("dialog %1").arg(id)).Fail(QStringLiteral("defined twice"));
    }
}

void ReadStrings(const QJsonValue& section, const Where& where, ResourceTables& tables)
{
    ForEachId(section, where, [&](UINT id, const QJsonValue& text, const Where& entry) {
        if (!text.isString())
            entry.Fail(QStringLiteral("a string's text must be a string, not ") + Found(text));
        // A later file's text wins: a program may replace a framework string.
        tables.strings[static_cast<int>(id)] = text.toString().toStdString();
    });
}

MenuItemTemplate ReadMenuItem(const QJsonValue& value, const Where& where, bool popupOnly)
{
    const QJsonObject object = ObjectOf(value, where, QStringLiteral("a menu entry"));
    MenuItemTemplate item;
    if (object.contains("items")) {
        OnlyKeys(object, {"text", "items"}, where);
        item.text = Text(object, "text", where, true);
        const Where popup = where / Quoted(QString::fromStdString(item.text));
        const QJsonArray items = ArrayOf(object.value("items"), popup, QStringLiteral("\"items\""));
        for (qsizetype i = 0; i < items.size(); ++i)
            item.items.push_back(ReadMenuItem(items[i], popup / QStringLiteral("item %1").arg(i + 1), false));
        return item;
    }
    if (popupOnly)
        where.Fail(QStringLiteral("an entry of the menu bar must be a popup with \"text\" and \"items\""));
    if (object.contains("separator")) {
        OnlyKeys(object, {"separator"}, where);
        if (object.value("separator") != QJsonValue(true))
            Expected(where, "separator", QStringLiteral("true"), object.value("separator"));
        item.separator = true;
        return item;
    }
    OnlyKeys(object, {"text", "id", "grayed"}, where);
    item.text = Text(object, "text", where, true);
    item.id = Id(object, where);
    item.grayed = Flag(object, "grayed", where);
    return item;
}

void ReadMenus(const QJsonValue& section, const Where& where, ResourceTables& tables)
{
    ForEachId(section, where, [&](UINT id, const QJsonValue& value, const Where& menu) {
        const QJsonArray popups = ArrayOf(value, menu, QStringLiteral("a menu"));
        // A later file's popups follow an earlier file's on the same bar.
        std::vector<MenuItemTemplate>& bar = tables.menus[id];
        for (qsizetype i = 0; i < popups.size(); ++i)
            bar.push_back(ReadMenuItem(popups[i], menu / QStringLiteral("popup %1").arg(i + 1), true));
    });
}

void ReadAccelerators(const QJsonValue& section, const Where& where, ResourceTables& tables)
{
    ForEachId(section, where, [&](UINT id, const QJsonValue& value, const Where& table) {
        const QJsonArray entries = ArrayOf(value, table, QStringLiteral("an accelerator table"));
        std::vector<AcceleratorTemplate>& keys = tables.accelerators[id];
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const Where entry = table / QStringLiteral("entry %1").arg(i + 1);
            const QJsonObject object = ObjectOf(entries[i], entry, QStringLiteral("an accelerator"));
            OnlyKeys(object, {"key", "id"}, entry);
            AcceleratorTemplate accelerator{Text(object, "key", entry, true), Id(object, entry)};
            const QKeySequence sequence(QString::fromStdString(accelerator.key), QKeySequence::PortableText);
            if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown)
                Expected(entry, "key", QStringLiteral("one key in Qt's portable text (\"Ctrl+N\")"),
                         object.value("key"));
            keys.push_back(std::move(accelerator));
        }
    });
}

void ReadToolBars(const QJsonValue& section, const Where& where, ResourceTables& tables)
{
    ForEachId(section, where, [&](UINT id, const QJsonValue& value, const Where& entry) {
        const QJsonObject object = ObjectOf(value, entry, QStringLiteral("a toolbar"));
        OnlyKeys(object, {"image", "button", "items"}, entry);
        ToolBarTemplate toolbar;
        toolbar.image = Text(object, "image", entry, true);
        if (object.contains("button")) {
            const std::vector<int> size = Numbers(object, "button", 2, entry);
            toolbar.buttonWidth = size[0];
            toolbar.buttonHeight = size[1];
        }
        const QJsonArray items = ArrayOf(object.value("items"), entry, QStringLiteral("\"items\""));
        for (const QJsonValue& item : items)
            toolbar.items.push_back(static_cast<UINT>(WholeNumber(item, entry, "items", 0, kLargestId)));
        if (!tables.toolbars.emplace(id, std::move(toolbar)).second)
            entry.Fail(QStringLiteral("defined twice"));
    });
}

void ReadVersion(const QJsonValue& section, const Where& where, ResourceTables& tables)
{
    const QJsonObject object = ObjectOf(section, where, QStringLiteral("the section"));
    OnlyKeys(object, {"fileVersion", "productVersion", "block", "strings"}, where);
    if (!tables.version.empty())
        where.Fail(QStringLiteral("defined twice"));
    VersionBlock version;
    version.fileVersion = Text(object, "fileVersion", where, true);
    version.productVersion = Text(object, "productVersion", where, true);
    version.block = Text(object, "block", where, true);
    const QJsonObject strings = ObjectOf(object.value("strings"), where, QStringLiteral("\"strings\""));
    for (auto it = strings.begin(); it != strings.end(); ++it) {
        if (!it.value().isString())
            Expected(where / QStringLiteral("strings"), it.key(), QStringLiteral("a string"), it.value());
        version.strings[it.key().toStdString()] = it.value().toString().toStdString();
    }
    tables.version.push_back(std::move(version));
}

}  // namespace

[[noreturn]] void AbortOnBrokenResources(const QString& file, const QString& problem)
{
    std::fprintf(stderr, "Broken program resources in %s: %s\n", qPrintable(file), qPrintable(problem));
    std::fflush(stderr);
    std::abort();
}

void ReadResourceFile(const QString& file, const QByteArray& json, ResourceTables& tables)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        AbortOnBrokenResources(file, QStringLiteral("%1 at offset %2").arg(error.errorString()).arg(error.offset));
    if (!document.isObject())
        AbortOnBrokenResources(file, QStringLiteral("the file must hold one JSON object"));

    using SectionReader = void (*)(const QJsonValue&, const Where&, ResourceTables&);
    const std::pair<const char*, SectionReader> readers[] = {
        {"dialogs", &ReadDialogs},           {"strings", &ReadStrings},   {"menus", &ReadMenus},
        {"accelerators", &ReadAccelerators}, {"toolbars", &ReadToolBars}, {"version", &ReadVersion},
    };
    const QJsonObject root = document.object();
    for (auto it = root.begin(); it != root.end(); ++it) {
        SectionReader read = nullptr;
        for (const auto& [name, reader] : readers)
            if (it.key() == QLatin1String(name))
                read = reader;
        const Where where = Where(file) / it.key();
        if (!read)
            where.Fail(
                QStringLiteral("not a section (known: dialogs, strings, menus, accelerators, toolbars, version)"));
        read(it.value(), where, tables);
    }
}
