#pragma once
// TLoadXMLDiagram: reads a diagram document (a file, or pasted text in a
// stream) into a page's model, rebuilds the page's canvas and deals with the
// tables pinned to the database.
#include "model/xml_property_reader.h"

#include <QSet>
#include <QString>

#include <memory>
#include <vector>

class QIODevice;
class TDiagramObjectModel;
class TDiagramTable;
class TDirtyXMLParser;
class TOSDiagram;
class TOSSchemaStyle;
class TXMLElement;

class TLoadXMLDiagram {
public:
    // A reader into Model (merging adds to what it holds).
    explicit TLoadXMLDiagram(TDiagramObjectModel &model);
    ~TLoadXMLDiagram();
    TLoadXMLDiagram(const TLoadXMLDiagram &) = delete;
    TLoadXMLDiagram &operator=(const TLoadXMLDiagram &) = delete;

    // Make Diagram the current one and read into Model (CurrentModel when
    // null). False when the file does not exist; every other failure raises.
    // The stream holds ISO-8859-1 bytes and is read from its start.
    static bool LoadFromFile(const QString &fileName, TOSDiagram *diagram, bool merge,
                             TDiagramObjectModel *model = nullptr);
    static bool LoadFromStream(QIODevice &stream, TOSDiagram *diagram, bool merge,
                               TDiagramObjectModel *model = nullptr);

    // Reads FileName (or Stream); true after a complete load, false when the
    // file does not exist. The canvas is rebuilt after a complete load and
    // after a failed one.
    bool LoadDiagramXml(bool fromFile);

    // "y", "yes", "1" or "true" in any letter case.
    static bool StrToBoolean(const QString &text);

    // Tables and object tables read with their reload flag set, in file order.
    const std::vector<TDiagramTable *> &PinnedTables() const { return m_pinned; }

    QString FileName;
    QIODevice *Stream = nullptr;
    bool Merge = false;

private:
    friend class TDiagramFileSink;
    // Reads the file while it is parsed, an item (a table, a note) at a
    // time, into a model of its own that goes over to this one when the
    // whole file was read: a large file's tree took as much fresh memory as
    // the rest of the load together. False, with this model as it was, when
    // the file must be read whole (see the source for when).
    bool StreamFile();
    // Reads the whole tree of the parse at hand (Parsed tells whether it
    // succeeded), or of a parse of the file or stream made now.
    void ReadWhole(bool fromFile, bool parsed);
    static void CheckRoot(const TXMLElement &root);
    void ReadRootProperty(const QString &name, const QString &value);
    void ReadDiagramStyle(const TXMLElement &element, TOSSchemaStyle &style);
    void ReadTables(const TXMLElement &root);
    void ReadObjectTables(const TXMLElement &root);
    void ReadTable(const TXMLElement &element, std::unique_ptr<TDiagramTable> table, bool objectTable);
    void ReadColumns(const TXMLElement &tableElement, TDiagramTable &table);
    void ReadColumn(const TXMLElement &element, TDiagramTable &table);
    void ReadKeys(const TXMLElement &tableElement, TDiagramTable &table);
    void ReadPrimaryKeys(const TXMLElement &tableElement, TDiagramTable &table);
    void ReadPrimaryKey(const TXMLElement &element, TDiagramTable &table);
    void ReadUniqueKeys(const TXMLElement &tableElement, TDiagramTable &table);
    void ReadUniqueKey(const TXMLElement &element, TDiagramTable &table);
    void ReadForeignKeys(const TXMLElement &tableElement, TDiagramTable &table);
    void ReadForeignKey(const TXMLElement &element, TDiagramTable &table);
    void ReadCheckConstraints(const TXMLElement &tableElement, TDiagramTable &table);
    void ReadCheckConstraint(const TXMLElement &element, TDiagramTable &table);
    void ReadIndexes(const TXMLElement &tableElement, TDiagramTable &table);
    void ReadIndex(const TXMLElement &element, TDiagramTable &table);
    void ReadTypes(const TXMLElement &root);
    void ReadType(const TXMLElement &element);
    void ReadNotes(const TXMLElement &root);
    void ReadNote(const TXMLElement &element);
    void AddOwner(const QString &owner);
    // After a complete load: pinned tables are refreshed from the database
    // when connected; offline each keeps the file's definition, and says so.
    void HandlePinnedTables();

    TDiagramObjectModel &m_model;
    std::unique_ptr<TDirtyXMLParser> m_parser;
    std::vector<TDiagramTable *> m_pinned;
    // The model's owners in lower case, so that adding one is no list search.
    QSet<QString> m_knownOwners;
};
