// Every model class writes its own element of the diagram document; the page
// writes the document around them.
#include "model/diagram_column.h"
#include "model/diagram_index.h"
#include "model/diagram_key.h"
#include "model/diagram_note.h"
#include "model/diagram_object_model.h"
#include "model/diagram_table.h"
#include "model/diagram_type.h"
#include "model/helpers.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "model/xml_text.h"
#include "platform/user_interface.h"

#include <algorithm>

namespace {

// "<name>" (Opening "<") or "</name>" (Opening "</") after Indent blanks, in
// one string of exactly its size.
QString tagLine(int indent, QLatin1String opening, const char *name)
{
    const QLatin1String tag(name);
    const qsizetype blanks = qMax(0, indent);
    QString line(blanks + opening.size() + tag.size() + 1, Qt::Uninitialized);
    QChar *out = std::fill_n(line.data(), blanks, QLatin1Char(' '));
    for (const char c : opening)
        *out++ = QLatin1Char(c);
    for (const char c : tag)
        *out++ = QLatin1Char(c);
    *out = QLatin1Char('>');
    return line;
}

QString startTagLine(int indent, const char *name) { return tagLine(indent, QLatin1String("<"), name); }

QString endTagLine(int indent, const char *name) { return tagLine(indent, QLatin1String("</"), name); }

// Appends property lines at one indent, each value encoded as the format
// wants it.
class TPropertyWriter {
public:
    TPropertyWriter(QStringList &list, int indent) : m_list(list), m_indent(indent) {}

    void Raw(const char *name, const QString &value) { Line(name, TXmlText::Escape(value)); }
    void CData(const char *name, const QString &value) { Line(name, TXmlText::CData(value)); }
    void Number(const char *name, int value) { Line(name, QString::number(value)); }
    void Flag(const char *name, bool value) { Line(name, THelpers::BoolToYN(value)); }
    void Tag(const char *tag) { m_list << THelpers::Indent(m_indent) + QLatin1String(tag); }
    // A list element holding one property per text ("columns" of "column").
    void TextList(const char *listName, const char *itemName, const QStringList &items)
    {
        m_list << startTagLine(m_indent, listName);
        for (const QString &item : items)
            m_list << TXmlText::Property(m_indent + 2, QLatin1String(itemName), TXmlText::Escape(item));
        m_list << endTagLine(m_indent, listName);
    }
    // A list element holding the element of each object, two deeper.
    void ObjectList(const char *listName, const TOSBaseList &items)
    {
        m_list << startTagLine(m_indent, listName);
        for (const TBaseModelObject *item : items.Items())
            item->WriteXML(m_list, m_indent + 2);
        m_list << endTagLine(m_indent, listName);
    }

private:
    void Line(const char *name, const QString &encoded)
    {
        m_list << TXmlText::Property(m_indent, QLatin1String(name), encoded);
    }
    QStringList &m_list;
    int m_indent;
};

// Start tag at Indent, the body at Indent + 2, end tag at Indent.
template <class Body>
void writeElement(QStringList &list, int indent, const char *name, Body body)
{
    list << startTagLine(indent, name);
    TPropertyWriter writer(list, indent + 2);
    body(writer);
    list << endTagLine(indent, name);
}

void writeKey(QStringList &list, int indent, const char *element, const TBaseDiagramKey &key)
{
    writeElement(list, indent, element, [&](TPropertyWriter &w) {
        w.Raw("name", key.Name);
        w.Flag("is_virtual", key.IsVirtual);
        w.TextList("columns", "column", key.Columns);
    });
}

} // namespace

void TDiagramColumn::WriteXML(QStringList &list, int indent) const
{
    writeElement(list, indent, "column", [&](TPropertyWriter &w) {
        w.Raw("name", Name);
        w.Flag("is_virtual", IsVirtual);
        w.Raw("data_type", DataType);
        w.Number("data_length", DataLength);
        w.Number("data_precision", DataPrecision);
        w.Number("data_scale", DataScale);
        w.Flag("is_nullable", IsNullable);
        w.CData("default_value", DefaultValue);
        w.CData("comment", Comment);
        w.Number("sequence", Sequence);
    });
}

void TDiagramPrimaryKey::WriteXML(QStringList &list, int indent) const
{
    writeKey(list, indent, "primary_key", *this);
}

void TDiagramUniqueKey::WriteXML(QStringList &list, int indent) const
{
    writeKey(list, indent, "unique_key", *this);
}

void TDiagramForeignKey::WriteXML(QStringList &list, int indent) const
{
    writeElement(list, indent, "foreign_key", [&](TPropertyWriter &w) {
        w.Raw("name", Name);
        w.Flag("is_virtual", IsVirtual);
        w.Raw("ref_table_owner", RefTableOwner);
        w.Raw("ref_table_name", RefTableName);
        w.Raw("on_delete", OnDelete);
        w.TextList("columns", "column", Columns);
        w.TextList("ref_columns", "ref_column", RefColumns);
    });
}

void TDiagramCheckConstraint::WriteXML(QStringList &list, int indent) const
{
    // The element name is misspelt in every file ever written; readers expect it.
    writeElement(list, indent, "check_cosntraint", [&](TPropertyWriter &w) {
        w.Raw("name", Name);
        w.Flag("is_virtual", IsVirtual);
        w.CData("check", CheckText);
    });
}

void TDiagramIndex::WriteXML(QStringList &list, int indent) const
{
    writeElement(list, indent, "index", [&](TPropertyWriter &w) {
        w.Raw("name", Name);
        w.Raw("owner", Owner);
        w.Raw("type", IndexType);
        w.Raw("table_name", TableName);
        w.Raw("table_owner", TableOwner);
        w.TextList("columns", "column", Columns);
    });
}

void TDiagramTable::WriteXML(QStringList &list, int indent) const
{
    writeElement(list, indent, "table", [&](TPropertyWriter &w) {
        w.Raw("owner", Owner);
        w.Raw("name", Name);
        w.CData("comment", Comment);
        w.Flag("is_virtual", IsVirtual);
        w.Number("left", Left);
        w.Number("top", Top);
        w.Number("width", Width);
        w.Number("height", Height);
        w.Flag("show_only_key_cols", ShowOnlyKeyColumns);
        w.Flag("reload_from_database", m_reloadFromDatabase);
        w.Flag("hide_data_types", HideDataTypes);
        w.Flag("hide_comments", HideComments);
        w.Raw("column_sort_method", THelpers::ColumnSortMethodToText(ColumnSortMethod));
        w.ObjectList("columns", Columns);
        w.ObjectList("primary_keys", PrimaryKeys);
        w.ObjectList("unique_keys", UniqueKeys);
        w.ObjectList("foreign_keys", ForeignKeys);
        w.ObjectList("check_constraints", CheckConstraints);
        w.ObjectList("indexes", Indexes);
    });
}

// An object table is stored exactly as a table; its type is not part of the file.
void TDiagramObjectTable::WriteXML(QStringList &list, int indent) const
{
    TDiagramTable::WriteXML(list, indent);
}

void TDiagramType::WriteXML(QStringList &list, int indent) const
{
    writeElement(list, indent, "type", [&](TPropertyWriter &w) {
        w.Raw("owner", Owner);
        w.Raw("name", Name);
        w.Flag("is_virtual", IsVirtual);
        w.Number("left", Left);
        w.Number("top", Top);
        w.Number("width", Width);
        w.Number("height", Height);
    });
}

void TDiagramNote::WriteXML(QStringList &list, int indent) const
{
    writeElement(list, indent, "note", [&](TPropertyWriter &w) {
        w.Raw("name", Name);
        w.Flag("is_virtual", IsVirtual);
        w.CData("text", Text);
        w.Number("left", Left);
        w.Number("top", Top);
        w.Number("width", Width);
        w.Number("height", Height);
    });
}

void TDiagramObjectModel::WriteXML(QStringList &list, int indent) const
{
    writeElement(list, indent, "diagram", [&](TPropertyWriter &w) {
        w.CData("name", Name);
        w.CData("comment", Comment);
    });
}

QStringList TDiagramObjectModel::BuildDiagramXml(bool allObjects) const
{
    QStringList list;
    list << TXmlText::Declaration();
    list << QStringLiteral("<marrowtide_diagram version=\"1.1\">");
    list << TXmlText::Property(2, QStringLiteral("name"), TXmlText::CData(Name));
    list << TXmlText::Property(2, QStringLiteral("comment"), TXmlText::CData(Comment));
    Style.WriteXML(list, 2);
    if (allObjects)
        WriteAllObjectsXml(list);
    else
        WriteSelectedObjectsXml(list);
    list << QStringLiteral("</marrowtide_diagram>");
    return list;
}

void TDiagramObjectModel::WriteAllObjectsXml(QStringList &list) const
{
    TPropertyWriter writer(list, 2);
    writer.ObjectList("tables", Tables);
    writer.ObjectList("object_tables", ObjectTables);
    writer.ObjectList("types", Types);
    writer.ObjectList("notes", Notes);
}

void TDiagramObjectModel::WriteSelectedObjectsXml(QStringList &list) const
{
    // One pass over the selection per list, so each list keeps selection order.
    const auto writeList = [&](const char *name, auto accepts) {
        list << QStringLiteral("  <%1>").arg(QLatin1String(name));
        if (SelectedGraphics) {
            for (const TBaseModelObject *item : SelectedGraphics->Items()) {
                if (accepts(item))
                    item->WriteXML(list, 4);
            }
        }
        list << QStringLiteral("  </%1>").arg(QLatin1String(name));
    };
    writeList("tables", [](const TBaseModelObject *o) {
        return dynamic_cast<const TDiagramTable *>(o) && !dynamic_cast<const TDiagramObjectTable *>(o);
    });
    writeList("object_tables", [](const TBaseModelObject *o) { return dynamic_cast<const TDiagramObjectTable *>(o); });
    writeList("types", [](const TBaseModelObject *o) { return dynamic_cast<const TDiagramType *>(o); });
    writeList("notes", [](const TBaseModelObject *o) { return dynamic_cast<const TDiagramNote *>(o); });
}

void TDiagramObjectModel::SaveModelToFile(bool allObjects) const
{
    THourglass hourglass;
    TXmlText::SaveLines(BuildDiagramXml(allObjects), FileName);
    if (Preferences)
        Preferences->AddRecentFile(FileName);
}
