#include "model/diagram_xml_reader.h"

#include "model/diagram_column.h"
#include "model/diagram_file_preload.h"
#include "model/diagram_index.h"
#include "model/diagram_key.h"
#include "model/diagram_note.h"
#include "model/diagram_object_model.h"
#include "model/diagram_table.h"
#include "model/diagram_type.h"
#include "model/helpers.h"
#include "model/model_globals.h"
#include "model/model_hooks.h"
#include "model/schema_style.h"
#include "model/xml_parser.h"

#include <QFile>
#include <QIODevice>

#include <functional>
#include <new>

namespace {

const QString kRootName = QStringLiteral("marrowtide_diagram");

// Calls Read for each child named ItemName of the first child of Parent
// named ListName (names compared exactly), in document order.
template <class Read>
void forEachItem(const TXMLElement &parent, const QString &listName, const QString &itemName, Read read)
{
    const TXMLElement *list = parent.FindChild(listName);
    if (!list)
        return;
    for (const TXMLElement *child : list->Children()) {
        if (child->Name() == itemName)
            read(*child);
    }
}

void rebuildCanvas()
{
    if (TModelHooks::Canvas)
        TModelHooks::Canvas->Rebuild();
}

template <class Store>
void readProperties(const TXMLElement &element, Store store)
{
    TXmlPropertyReader::Read(element, store);
}

bool runLoad(TLoadXMLDiagram &reader, bool fromFile, TOSDiagram *diagram)
{
    CurrentDiagram = diagram;
    return reader.LoadDiagramXml(fromFile);
}

TDiagramObjectModel &targetModel(TDiagramObjectModel *model)
{
    if (model)
        return *model;
    if (!CurrentModel)
        throw EModelError(QStringLiteral("There is no diagram page to read into."));
    return *CurrentModel;
}

// Name and virtual flag, which every object of the page has; false when the
// property is neither.
bool readObjectProperty(TBaseDiagramObject &object, const QString &name, const QString &value)
{
    if (name == QLatin1String("name"))
        object.Name = value;
    else if (name == QLatin1String("is_virtual"))
        object.IsVirtual = TLoadXMLDiagram::StrToBoolean(value);
    else
        return false;
    return true;
}

// The same, and the place and size of a box (tables, types, notes).
bool readBoxProperty(TBaseDiagramRectangle &box, const QString &name, const QString &value)
{
    if (readObjectProperty(box, name, value))
        return true;
    if (name == QLatin1String("left"))
        box.Left = StrToInt(value);
    else if (name == QLatin1String("top"))
        box.Top = StrToInt(value);
    else if (name == QLatin1String("width"))
        box.Width = StrToInt(value);
    else if (name == QLatin1String("height"))
        box.Height = StrToInt(value);
    else
        return false;
    return true;
}

} // namespace

TLoadXMLDiagram::TLoadXMLDiagram(TDiagramObjectModel &model) : m_model(model)
{
    for (const QString &owner : model.Owners)
        m_knownOwners.insert(owner.toLower());
}

TLoadXMLDiagram::~TLoadXMLDiagram() = default;

bool TLoadXMLDiagram::LoadFromFile(const QString &fileName, TOSDiagram *diagram, bool merge,
                                   TDiagramObjectModel *model)
{
    TLoadXMLDiagram reader(targetModel(model));
    reader.FileName = fileName;
    reader.Merge = merge;
    return runLoad(reader, true, diagram);
}

bool TLoadXMLDiagram::LoadFromStream(QIODevice &stream, TOSDiagram *diagram, bool merge,
                                     TDiagramObjectModel *model)
{
    TLoadXMLDiagram reader(targetModel(model));
    reader.Stream = &stream;
    reader.Merge = merge;
    return runLoad(reader, false, diagram);
}

namespace {

bool isAscii(QStringView text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

} // namespace

bool TLoadXMLDiagram::StrToBoolean(const QString &text)
{
    // Every object carries flags written "Y" or "N". For ASCII text, ignoring
    // the case of letters is all that lowering it would do, and costs no
    // lower-case copy per flag.
    if (isAscii(text)) {
        for (const char *yes : {"y", "yes", "1", "true"})
            if (text.compare(QLatin1String(yes), Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }
    const QString lower = text.toLower();
    return lower == QLatin1String("y") || lower == QLatin1String("yes") || lower == QLatin1String("1")
           || lower == QLatin1String("true");
}

bool TLoadXMLDiagram::LoadDiagramXml(bool fromFile)
{
    if (fromFile && !QFile::exists(FileName))
        return false;
    m_pinned.clear();
    try {
        bool parsed = false;
        // A file named at start-up may have been parsed while the splash was up.
        if (fromFile)
            m_parser = TDiagramFilePreload::Take(FileName, parsed);
        const bool streamed = fromFile && !m_parser && StreamFile();
        if (!streamed)
            ReadWhole(fromFile, parsed);
    } catch (const std::bad_alloc &) {
        m_parser.reset();
        rebuildCanvas();
        const QString message = QStringLiteral("There was not enough memory to read the file.");
        throw EXMLFileError(fromFile ? TXmlPropertyReader::LoadErrorMessage(FileName, message) : message);
    } catch (...) {
        // What was read before the failure stays in the model; the page must
        // show it, or boxes and model would disagree.
        m_parser.reset();
        rebuildCanvas();
        throw;
    }
    rebuildCanvas();
    HandlePinnedTables();
    return true;
}

void TLoadXMLDiagram::ReadWhole(bool fromFile, bool parsed)
{
    if (!m_parser) {
        m_parser = std::make_unique<TDirtyXMLParser>();
        parsed = fromFile ? m_parser->LoadFromFile(FileName)
                          : (Stream ? m_parser->LoadFromStream(*Stream) : m_parser->ParseXml(QString()));
    }
    if (!parsed)
        throw EXMLFileError(TXmlPropertyReader::LoadErrorMessage(FileName, m_parser->ErrorMessage()));
    const TXMLElement *root = m_parser->Root();
    if (!root)
        throw EXMLFileError(QStringLiteral("Invalid XML structure - root element not found"));
    CheckRoot(*root);

    if (!Merge)
        readProperties(*root, [&](const QString &name, const QString &value) { ReadRootProperty(name, value); });
    for (const TXMLElement *child : root->Children()) {
        if (child->Name() == QLatin1String("diagram_style"))
            ReadDiagramStyle(*child, m_model.Style);
    }
    ReadTables(*root);
    ReadObjectTables(*root);
    ReadTypes(*root);
    ReadNotes(*root);
    m_parser.reset();
}

void TLoadXMLDiagram::CheckRoot(const TXMLElement &root)
{
    if (root.Name() != kRootName)
        throw EXMLFileError(TXmlPropertyReader::RootIsNotMessage(kRootName));
    const std::optional<QString> version = root.GetAttribute(QStringLiteral("version"));
    if (!version || *version != QLatin1String("1.1"))
        throw EXMLFileError(QStringLiteral("Diagram version not supported."));
}

void TLoadXMLDiagram::ReadRootProperty(const QString &name, const QString &value)
{
    if (name == QLatin1String("name"))
        m_model.Name = value;
    else if (name == QLatin1String("comment"))
        m_model.Comment = value;
}

void TLoadXMLDiagram::HandlePinnedTables()
{
    if (m_pinned.empty())
        return;
    if (THelpers::IsConnected()) {
        if (TModelHooks::Canvas)
            TModelHooks::Canvas->RefreshTablesFromDatabase(m_pinned);
        return;
    }
    if (!TModelHooks::Console)
        return;
    for (const TDiagramTable *table : m_pinned) {
        TModelHooks::Console->WriteLine(
            QStringLiteral("Not connected to a database: table %1.%2 keeps the definition stored in the file.")
                .arg(table->Owner, table->Name));
    }
}

void TLoadXMLDiagram::ReadDiagramStyle(const TXMLElement &element, TOSSchemaStyle &style)
{
    readProperties(element, [&](const QString &name, const QString &value) { style.SetProperty(name, value); });
}

void TLoadXMLDiagram::AddOwner(const QString &owner)
{
    const QString key = owner.toLower();
    if (m_knownOwners.contains(key))
        return;
    m_knownOwners.insert(key);
    m_model.Owners.append(owner);
}

void TLoadXMLDiagram::ReadTables(const TXMLElement &root)
{
    forEachItem(root, QStringLiteral("tables"), QStringLiteral("table"), [&](const TXMLElement &element) {
        ReadTable(element, std::make_unique<TDiagramTable>(), false);
    });
}

void TLoadXMLDiagram::ReadObjectTables(const TXMLElement &root)
{
    // Object tables are written as plain "table" elements; they come back as
    // object tables, without the type they were made of (the file has none).
    forEachItem(root, QStringLiteral("object_tables"), QStringLiteral("table"), [&](const TXMLElement &element) {
        ReadTable(element, std::make_unique<TDiagramObjectTable>(), true);
    });
}

void TLoadXMLDiagram::ReadTable(const TXMLElement &element, std::unique_ptr<TDiagramTable> table,
                                bool objectTable)
{
    readProperties(element, [&](const QString &name, const QString &value) {
        TDiagramTable &t = *table;
        if (readBoxProperty(t, name, value))
            return;
        if (name == QLatin1String("owner"))
            t.Owner = value;
        else if (name == QLatin1String("comment"))
            t.Comment = value;
        else if (name == QLatin1String("show_only_key_cols"))
            t.ShowOnlyKeyColumns = StrToBoolean(value);
        else if (name == QLatin1String("reload_from_database"))
            // No database call while the file is read: the flag alone is
            // stored, and the table is refreshed once the load is complete.
            t.StoreReloadFromDatabase(StrToBoolean(value));
        else if (name == QLatin1String("hide_data_types"))
            t.HideDataTypes = StrToBoolean(value);
        else if (name == QLatin1String("hide_comments"))
            t.HideComments = StrToBoolean(value);
        else if (name == QLatin1String("column_sort_method"))
            t.ColumnSortMethod = static_cast<quint8>(THelpers::ColumnSortMethodFromText(value));
    });
    TDiagramTable &added = *table;
    if (objectTable)
        m_model.ObjectTables.Add(std::move(table));
    else
        m_model.Tables.Add(std::move(table));
    AddOwner(added.Owner);
    if (added.ReloadFromDatabase())
        m_pinned.push_back(&added);
    ReadColumns(element, added);
    ReadKeys(element, added);
    ReadCheckConstraints(element, added);
    ReadIndexes(element, added);
}

void TLoadXMLDiagram::ReadColumns(const TXMLElement &tableElement, TDiagramTable &table)
{
    forEachItem(tableElement, QStringLiteral("columns"), QStringLiteral("column"),
                [&](const TXMLElement &element) { ReadColumn(element, table); });
}

void TLoadXMLDiagram::ReadColumn(const TXMLElement &element, TDiagramTable &table)
{
    auto column = std::make_unique<TDiagramColumn>();
    readProperties(element, [&](const QString &name, const QString &value) {
        TDiagramColumn &c = *column;
        if (readObjectProperty(c, name, value))
            return;
        if (name == QLatin1String("data_type"))
            c.DataType = value;
        else if (name == QLatin1String("data_length"))
            c.DataLength = StrToInt(value);
        else if (name == QLatin1String("data_scale"))
            c.DataScale = StrToInt(value);
        else if (name == QLatin1String("data_precision"))
            c.DataPrecision = StrToInt(value);
        else if (name == QLatin1String("is_nullable"))
            c.IsNullable = StrToBoolean(value);
        else if (name == QLatin1String("default_value"))
            c.DefaultValue = value;
        else if (name == QLatin1String("comment"))
            c.Comment = value;
        else if (name == QLatin1String("sequence"))
            c.Sequence = StrToInt(value);
    });
    table.Columns.Add(std::move(column));
}

void TLoadXMLDiagram::ReadKeys(const TXMLElement &tableElement, TDiagramTable &table)
{
    ReadPrimaryKeys(tableElement, table);
    ReadUniqueKeys(tableElement, table);
    ReadForeignKeys(tableElement, table);
}

namespace {

// Name, virtual flag and columns: what every key has. A key without a
// "columns" child has no columns.
void readKeyBase(const TXMLElement &element, TBaseDiagramKey &key,
                 const std::function<void(const QString &, const QString &)> &more = {})
{
    TXmlPropertyReader::Read(element, [&](const QString &name, const QString &value) {
        if (!readObjectProperty(key, name, value) && more)
            more(name, value);
    });
    key.Columns = TXmlPropertyReader::ReadTextList(element, QStringLiteral("columns"), QStringLiteral("column"));
}

} // namespace

void TLoadXMLDiagram::ReadPrimaryKeys(const TXMLElement &tableElement, TDiagramTable &table)
{
    forEachItem(tableElement, QStringLiteral("primary_keys"), QStringLiteral("primary_key"),
                [&](const TXMLElement &element) { ReadPrimaryKey(element, table); });
}

void TLoadXMLDiagram::ReadPrimaryKey(const TXMLElement &element, TDiagramTable &table)
{
    auto key = std::make_unique<TDiagramPrimaryKey>();
    readKeyBase(element, *key);
    table.PrimaryKeys.Add(std::move(key));
}

void TLoadXMLDiagram::ReadUniqueKeys(const TXMLElement &tableElement, TDiagramTable &table)
{
    forEachItem(tableElement, QStringLiteral("unique_keys"), QStringLiteral("unique_key"),
                [&](const TXMLElement &element) { ReadUniqueKey(element, table); });
}

void TLoadXMLDiagram::ReadUniqueKey(const TXMLElement &element, TDiagramTable &table)
{
    auto key = std::make_unique<TDiagramUniqueKey>();
    readKeyBase(element, *key);
    table.UniqueKeys.Add(std::move(key));
}

void TLoadXMLDiagram::ReadForeignKeys(const TXMLElement &tableElement, TDiagramTable &table)
{
    forEachItem(tableElement, QStringLiteral("foreign_keys"), QStringLiteral("foreign_key"),
                [&](const TXMLElement &element) { ReadForeignKey(element, table); });
}

void TLoadXMLDiagram::ReadForeignKey(const TXMLElement &element, TDiagramTable &table)
{
    auto key = std::make_unique<TDiagramForeignKey>();
    key->Table = &table;
    TDiagramForeignKey &k = *key;
    readKeyBase(element, k, [&](const QString &name, const QString &value) {
        if (name == QLatin1String("ref_table_owner"))
            k.RefTableOwner = value;
        else if (name == QLatin1String("ref_table_name"))
            k.RefTableName = value;
        else if (name == QLatin1String("on_delete"))
            k.OnDelete = value;
    });
    k.RefColumns = TXmlPropertyReader::ReadTextList(element, QStringLiteral("ref_columns"),
                                                    QStringLiteral("ref_column"));
    table.ForeignKeys.Add(std::move(key));
}

void TLoadXMLDiagram::ReadCheckConstraints(const TXMLElement &tableElement, TDiagramTable &table)
{
    forEachItem(tableElement, QStringLiteral("check_constraints"), QStringLiteral("check_cosntraint"),
                [&](const TXMLElement &element) { ReadCheckConstraint(element, table); });
}

void TLoadXMLDiagram::ReadCheckConstraint(const TXMLElement &element, TDiagramTable &table)
{
    auto check = std::make_unique<TDiagramCheckConstraint>();
    readProperties(element, [&](const QString &name, const QString &value) {
        if (!readObjectProperty(*check, name, value) && name == QLatin1String("check"))
            check->CheckText = value;
    });
    table.CheckConstraints.Add(std::move(check));
}

void TLoadXMLDiagram::ReadIndexes(const TXMLElement &tableElement, TDiagramTable &table)
{
    forEachItem(tableElement, QStringLiteral("indexes"), QStringLiteral("index"),
                [&](const TXMLElement &element) { ReadIndex(element, table); });
}

void TLoadXMLDiagram::ReadIndex(const TXMLElement &element, TDiagramTable &table)
{
    auto index = std::make_unique<TDiagramIndex>();
    readProperties(element, [&](const QString &name, const QString &value) {
        TDiagramIndex &i = *index;
        if (readObjectProperty(i, name, value))
            return;
        if (name == QLatin1String("type"))
            i.IndexType = value;
        else if (name == QLatin1String("table_name"))
            i.TableName = value;
        else if (name == QLatin1String("table_owner"))
            i.TableOwner = value;
        else if (name == QLatin1String("owner"))
            i.Owner = value;
    });
    index->Columns = TXmlPropertyReader::ReadTextList(element, QStringLiteral("columns"), QStringLiteral("column"));
    table.Indexes.Add(std::move(index));
}

void TLoadXMLDiagram::ReadTypes(const TXMLElement &root)
{
    forEachItem(root, QStringLiteral("types"), QStringLiteral("type"),
                [&](const TXMLElement &element) { ReadType(element); });
}

void TLoadXMLDiagram::ReadType(const TXMLElement &element)
{
    // The file keeps a type's place and size only; attributes and methods
    // come back when it is added from the database again.
    auto type = std::make_unique<TDiagramType>();
    readProperties(element, [&](const QString &name, const QString &value) {
        if (!readBoxProperty(*type, name, value) && name == QLatin1String("owner"))
            type->Owner = value;
    });
    m_model.Types.Add(std::move(type));
}

void TLoadXMLDiagram::ReadNotes(const TXMLElement &root)
{
    forEachItem(root, QStringLiteral("notes"), QStringLiteral("note"),
                [&](const TXMLElement &element) { ReadNote(element); });
}

void TLoadXMLDiagram::ReadNote(const TXMLElement &element)
{
    auto note = std::make_unique<TDiagramNote>();
    readProperties(element, [&](const QString &name, const QString &value) {
        if (!readBoxProperty(*note, name, value) && name == QLatin1String("text"))
            note->Text = value;
    });
    m_model.Notes.Add(std::move(note));
}

// The page's own entry points: the reader fills this model, and the explorer
// tree follows every load that returns and every load that fails.
namespace {

template <class Load>
bool loadAndRefreshExplorer(TDiagramObjectModel &model, Load load)
{
    bool loaded = false;
    try {
        loaded = load();
    } catch (...) {
        model.RefreshExplorer();
        throw;
    }
    model.RefreshExplorer();
    return loaded;
}

} // namespace

bool TDiagramObjectModel::LoadModelFromFile(TOSDiagram *diagram, bool merge, const QString &fileName)
{
    return loadAndRefreshExplorer(*this, [&] {
        return TLoadXMLDiagram::LoadFromFile(fileName, diagram, merge, this);
    });
}

bool TDiagramObjectModel::LoadModelFromStream(TOSDiagram *diagram, bool merge, QIODevice &stream)
{
    return loadAndRefreshExplorer(*this, [&] {
        return TLoadXMLDiagram::LoadFromStream(stream, diagram, merge, this);
    });
}
