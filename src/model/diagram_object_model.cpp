#include "model/diagram_object_model.h"

#include "model/model_globals.h"
#include "model/model_hooks.h"
#include "platform/rect.h"

#include <algorithm>

namespace {

// Calls F for every box of the page: tables, object tables, types and notes.
template <class F>
void ForEachBox(const TDiagramObjectModel &model, F f)
{
    for (const TOSBaseList *list : {static_cast<const TOSBaseList *>(&model.Tables),
                                    static_cast<const TOSBaseList *>(&model.ObjectTables),
                                    static_cast<const TOSBaseList *>(&model.Types),
                                    static_cast<const TOSBaseList *>(&model.Notes)}) {
        for (TBaseModelObject *item : list->Items())
            f(static_cast<TBaseDiagramRectangle *>(item));
    }
}

// A name listed a moment ago may be gone by the time it is read: the session
// then returns an empty object, which must not become an empty box.
void RequireFound(const TBaseModelObject &object, const char *kind, const QString &owner, const QString &name)
{
    if (object.Name.isEmpty())
        throw EModelError(QStringLiteral("The %1 %2.%3 was not found in the database.")
                              .arg(QLatin1String(kind), owner, name));
}

} // namespace

TDiagramObjectModel::TDiagramObjectModel() = default;
TDiagramObjectModel::~TDiagramObjectModel() = default;

void TDiagramObjectModel::Assign(const TBaseModelObject &source)
{
    const auto &src = AssignSource<TDiagramObjectModel>(source);
    Name = src.Name;
    Tables.Assign(src.Tables);
    Notes.Assign(src.Notes);
    TreeView = src.TreeView;
    FileName = src.FileName;
}

void TDiagramObjectModel::AddOwner(const QString &owner)
{
    if (!Owners.contains(owner, Qt::CaseInsensitive))
        Owners.append(owner);
}

TDiagramTable *TDiagramObjectModel::AddTableFromDatabase(const QString &owner, const QString &tableName,
                                                         TTablesRead *read)
{
    if (!DatabaseSession)
        return nullptr;
    if (read) {
        const auto found = read->find({owner, tableName});
        if (found != read->end() && found->second)
            return AddTableRead(std::move(found->second), owner, tableName);
    }
    return AddTableRead(DatabaseSession->GetTable(owner, tableName), owner, tableName);
}

TDiagramTable *TDiagramObjectModel::AddTableRead(std::unique_ptr<TDiagramTable> table, const QString &owner,
                                                 const QString &tableName)
{
    RequireFound(*table, "table", owner, tableName);
    table->SetIsVirtual(true);
    TDiagramTable *result = table.get();
    Tables.Add(table.release());
    AddOwner(result->Owner);
    return result;
}

TDiagramObjectTable *TDiagramObjectModel::AddObjectTableFromDatabase(const QString &owner,
                                                                     const QString &tableName)
{
    if (!DatabaseSession)
        return nullptr;
    std::unique_ptr<TDiagramObjectTable> table = DatabaseSession->GetObjectTable(owner, tableName);
    RequireFound(*table, "object table", owner, tableName);
    TDiagramObjectTable *result = table.get();
    ObjectTables.Add(table.release());
    AddOwner(result->Owner);
    return result;
}

TDiagramType *TDiagramObjectModel::AddTypeFromDatabase(const QString &owner, const QString &typeName)
{
    if (!DatabaseSession)
        return nullptr;
    std::unique_ptr<TDiagramType> type = DatabaseSession->GetType(owner, typeName);
    RequireFound(*type, "type", owner, typeName);
    TDiagramType *result = type.get();
    Types.Add(type.release());
    return result;
}

TDiagramTable *TDiagramObjectModel::AddTableWithWizard()
{
    if (!TModelHooks::Wizards)
        return nullptr;
    std::unique_ptr<TDiagramTable> table = TModelHooks::Wizards->CreateTable();
    if (!table)
        return nullptr;
    TCanvas *canvas = TModelHooks::Surface ? TModelHooks::Surface->SurfaceCanvas() : nullptr;
    table->Left = 10;
    table->Top = 10;
    table->Height = table->CalcHeight(canvas);
    table->Width = table->CalcWidth(canvas);
    TDiagramTable *result = table.get();
    Tables.Add(table.release());
    if (!result->Owner.isEmpty())
        AddOwner(result->Owner);
    int x = 0;
    int y = 0;
    GetDiagramExtent(x, y);
    if (TModelHooks::Surface)
        TModelHooks::Surface->EnsureSurfaceSize(x + 20, y + 20);
    return result;
}

void TDiagramObjectModel::EditTable(TDiagramTable *table)
{
    if (TModelHooks::Wizards)
        TModelHooks::Wizards->EditTable(table);
}

TDiagramNote *TDiagramObjectModel::AddNoteWithWizard()
{
    if (!TModelHooks::Wizards)
        return nullptr;
    std::unique_ptr<TDiagramNote> note = TModelHooks::Wizards->CreateNote();
    if (!note)
        return nullptr;
    note->Left = 10;
    note->Top = 10;
    note->Height = note->CalcHeight(nullptr);
    note->Width = note->CalcWidth(nullptr);
    TDiagramNote *result = note.get();
    Notes.Add(note.release());
    return result;
}

void TDiagramObjectModel::EditNote(TDiagramNote *note)
{
    if (TModelHooks::Wizards)
        TModelHooks::Wizards->EditNote(note);
    RefreshExplorer();
}

void TDiagramObjectModel::RemoveObject(TBaseModelObject *object)
{
    if (dynamic_cast<TDiagramObjectTable *>(object))
        ObjectTables.Remove(object);
    else if (dynamic_cast<TDiagramTable *>(object))
        Tables.Remove(object);
    else if (dynamic_cast<TDiagramType *>(object))
        Types.Remove(object);
    else if (dynamic_cast<TDiagramNote *>(object))
        Notes.Remove(object);
    RefreshExplorer();
}

void TDiagramObjectModel::SetTreeView(QTreeWidget *treeView)
{
    TreeView = treeView;
    RefreshExplorer();
}

void TDiagramObjectModel::RefreshExplorer()
{
    if (TModelHooks::Explorer)
        TModelHooks::Explorer->RefreshExplorerTree();
}

void TDiagramObjectModel::ClearGraphicLinks()
{
    ForEachBox(*this, [](TBaseDiagramRectangle *box) { box->Graphic = nullptr; });
}

void TDiagramObjectModel::GetDiagramExtent(int &x, int &y) const
{
    x = 10;
    y = 10;
    ForEachBox(*this, [&](const TBaseDiagramRectangle *box) {
        x = std::max(x, ClampShown(qint64(box->Left) + box->Width + 30));
        y = std::max(y, ClampShown(qint64(box->Top) + box->Height + 30));
    });
}

int TDiagramObjectModel::GetObjectCount() const
{
    return Tables.Count() + ObjectTables.Count() + Types.Count();
}
