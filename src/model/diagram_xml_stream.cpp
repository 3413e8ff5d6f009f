// Reading a diagram file while it is parsed. The file's tables, types and
// notes are read one at a time as each ends, and each is freed before the
// next is parsed, so a large file never has its whole tree in memory. The
// result must be the one reading the whole tree gives; where it might not be,
// the file is read whole instead:
// - a file that does not parse, whose root is not ours, or whose reading
//   fails (the whole read gives the message and keeps what it read);
// - lists under the root in another order than the one they are read in
//   (tables, object tables, types, notes), as owners and pinned tables
//   would then come in another order.
// Lists after the first of their name are skipped, as the whole read skips them.
#include "model/diagram_object_model.h"
#include "model/diagram_table.h"
#include "model/diagram_type.h"
#include "model/diagram_note.h"
#include "model/diagram_xml_reader.h"
#include "model/xml_parser.h"

#include <QSet>

namespace {

// Reading another way than the whole read would.
struct TReadWhole
{
};

enum TListKind { lkTables, lkObjectTables, lkTypes, lkNotes, lkNone };

TListKind listKind(const QString &name)
{
    if (name == QLatin1String("tables"))
        return lkTables;
    if (name == QLatin1String("object_tables"))
        return lkObjectTables;
    if (name == QLatin1String("types"))
        return lkTypes;
    if (name == QLatin1String("notes"))
        return lkNotes;
    return lkNone;
}

void moveItems(TOSBaseList &from, TOSBaseList &to)
{
    for (int i = 0; i < from.Count(); ++i)
        to.Add(from.GetItem(i));
    from.SetOwnsObjects(false);
    from.Clear();
    from.SetOwnsObjects(true);
}

} // namespace

class TDiagramFileSink : public IXMLElementSink
{
public:
    explicit TDiagramFileSink(TLoadXMLDiagram &reader) : m_reader(reader) {}

    bool RootSeen() const { return m_rootSeen; }

    void RootStarted(const TXMLElement &root) override
    {
        m_rootSeen = true;
        try {
            TLoadXMLDiagram::CheckRoot(root);
        } catch (const EXMLFileError &) {
            throw TReadWhole();
        }
    }

    bool ElementEnded(const TXMLElement &element, int depth) override
    {
        if (depth == 1) {
            const QString &name = element.Name();
            if (name == QLatin1String("property")) {
                if (!m_reader.Merge) {
                    auto store = [this](const QString &n, const QString &v) { m_reader.ReadRootProperty(n, v); };
                    TXmlPropertyReader::ReadOne(element, store);
                }
            } else if (name == QLatin1String("diagram_style")) {
                m_reader.ReadDiagramStyle(element, m_reader.m_model.Style);
            } else if (listKind(name) != lkNone) {
                m_ended.insert(listKind(name));
            }
            return true;
        }
        const TListKind kind = listKind(element.GetParent()->Name());
        // The children of a property or of the style are read with it.
        if (kind == lkNone)
            return false;
        if (m_ended.contains(kind))
            return true;
        if (kind < m_lastKind)
            throw TReadWhole();
        m_lastKind = kind;
        const QString &name = element.Name();
        if (kind == lkTables && name == QLatin1String("table"))
            m_reader.ReadTable(element, std::make_unique<TDiagramTable>(), false);
        else if (kind == lkObjectTables && name == QLatin1String("table"))
            m_reader.ReadTable(element, std::make_unique<TDiagramObjectTable>(), true);
        else if (kind == lkTypes && name == QLatin1String("type"))
            m_reader.ReadType(element);
        else if (kind == lkNotes && name == QLatin1String("note"))
            m_reader.ReadNote(element);
        return true;
    }

private:
    TLoadXMLDiagram &m_reader;
    bool m_rootSeen = false;
    // The lists read so far, and the kind of the last one.
    QSet<int> m_ended;
    TListKind m_lastKind = lkTables;
};

bool TLoadXMLDiagram::StreamFile()
{
    // The model read into starts with what the whole read would change.
    TDiagramObjectModel read;
    read.Name = m_model.Name;
    read.Comment = m_model.Comment;
    read.Style = m_model.Style;
    TLoadXMLDiagram reader(read);
    reader.Merge = Merge;
    TDiagramFileSink sink(reader);
    try {
        TDirtyXMLParser parser;
        if (!parser.StreamFile(FileName, sink) || !sink.RootSeen())
            return false;
    } catch (...) {
        // Read whole, the file gives the same failure, with what it read.
        return false;
    }
    m_model.Name = read.Name;
    m_model.Comment = read.Comment;
    m_model.Style = read.Style;
    for (const QString &owner : read.Owners)
        AddOwner(owner);
    moveItems(read.Tables, m_model.Tables);
    moveItems(read.ObjectTables, m_model.ObjectTables);
    moveItems(read.Types, m_model.Types);
    moveItems(read.Notes, m_model.Notes);
    m_pinned = reader.m_pinned;
    return true;
}
