#pragma once
// TDiagramObjectModel: one diagram page with its tables, object tables, types,
// notes, owners, file name and drawing style.
#include "model/base_model_object.h"
#include "model/database_session.h"
#include "model/diagram_note.h"
#include "model/diagram_table.h"
#include "model/diagram_type.h"
#include "model/model_lists.h"
#include "model/schema_style.h"

#include <memory>

class QTreeWidget;
class QIODevice;
class TOSDiagram;

class TDiagramObjectModel : public TBaseModelObject {
public:
    TDiagramObjectModel();
    ~TDiagramObjectModel() override;

    void WriteXML(QStringList &list, int indent) const override;
    void Assign(const TBaseModelObject &source) override;

    // A table found in read (read ahead, ReadTablesAhead) is taken from there
    // instead of being read again.
    TDiagramTable *AddTableFromDatabase(const QString &owner, const QString &tableName, TTablesRead *read = nullptr);
    // A table the session read (GetTables) for owner.tableName, added as
    // AddTableFromDatabase adds it; raises when the session did not find it.
    TDiagramTable *AddTableRead(std::unique_ptr<TDiagramTable> table, const QString &owner, const QString &tableName);
    TDiagramObjectTable *AddObjectTableFromDatabase(const QString &owner, const QString &tableName);
    TDiagramType *AddTypeFromDatabase(const QString &owner, const QString &typeName);
    TDiagramTable *AddTableWithWizard();
    void EditTable(TDiagramTable *table);
    TDiagramNote *AddNoteWithWizard();
    void EditNote(TDiagramNote *note);
    void RemoveObject(TBaseModelObject *object);
    void SetTreeView(QTreeWidget *treeView);
    void RefreshExplorer();
    void ClearGraphicLinks();
    void GetDiagramExtent(int &x, int &y) const;
    int GetObjectCount() const;

    // Scripts of the whole model or of the selection; the header first.
    void WriteDdlHeader(QStringList &list) const;
    QStringList BuildModelDdl() const;
    QStringList BuildSelectionDdl() const;
    // Delta scripts: this model is the original.
    QString BuildDeltaDdl(const TDiagramObjectModel &target) const;
    QString BuildDatabaseDeltaDdl() const;

    // The diagram document (declaration, root, name, comment, style and the
    // four lists) of the whole model or of the selected objects only.
    QStringList BuildDiagramXml(bool allObjects) const;
    void WriteAllObjectsXml(QStringList &list) const;
    void WriteSelectedObjectsXml(QStringList &list) const;
    // Writes the document to FileName in one piece and records the file as
    // the most recent one.
    void SaveModelToFile(bool allObjects) const;
    // Reads a diagram document into this model (merging adds to it), then
    // rebuilds the explorer tree; false when the file does not exist.
    bool LoadModelFromFile(TOSDiagram *diagram, bool merge, const QString &fileName);
    bool LoadModelFromStream(TOSDiagram *diagram, bool merge, QIODevice &stream);

    QStringList Owners;
    TOSTableList Tables;
    TOSObjectTableList ObjectTables;
    TTypeList Types;
    TOSNoteList Notes;
    QTreeWidget *TreeView = nullptr;
    QString FileName;
    TOSSchemaStyle Style{TOSSchemaStyle::NoDefaults};

private:
    void AddOwner(const QString &owner);
};
