#pragma once
// TDiagramObjectModel: one diagram page with its tables, object tables, types,
// notes, owners, file name and drawing style.
#include "model/base_model_object.h"
#include "model/diagram_note.h"
#include "model/diagram_table.h"
#include "model/diagram_type.h"
#include "model/model_lists.h"
#include "model/schema_style.h"

#include <memory>

class QTreeWidget;

class TDiagramObjectModel : public TBaseModelObject {
public:
    TDiagramObjectModel();
    ~TDiagramObjectModel() override;

    void WriteXML(QStringList &list, int indent) const override;
    void Assign(const TBaseModelObject &source) override;

    TDiagramTable *AddTableFromDatabase(const QString &owner, const QString &tableName);
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
