#pragma once
// The canvas fixture with what the page commands reach: the reader's rebuild
// hook (counted) and a recorder of the SQL editor windows they open.
#include "canvas_fixture.h"

#include "canvas/sql_windows.h"
#include "model/model_hooks.h"

#include <QStringList>

#include <vector>

namespace {

class CanvasCommands : public CanvasTest, IDiagramCanvas, ISqlWindows {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        TModelHooks::Canvas = this;
        TSqlWindows::SetHook(this);
        model->Style.FontSize = 8;
        model->Style.HeaderFontSize = 10;
        model->Style.LinkFontSize = 7;
    }
    void TearDown() override
    {
        TSqlWindows::SetHook(nullptr);
        TModelHooks::Canvas = nullptr;
        CanvasTest::TearDown();
    }
    void Rebuild() override { ++Rebuilds, diagram->Rebuild(); }
    void RefreshTablesFromDatabase(const std::vector<TDiagramTable *> &) override {}
    void ShowScript(const QStringList &lines) override { Scripts.push_back(lines); }
    void RunQuery(const QString &sql) override { Queries << sql; }

    static QRect RectOf(const TBaseDiagramRectangle *r) { return QRect(r->Left, r->Top, r->Width, r->Height); }
    static QStringList Names(const TOSBaseList &list)
    {
        QStringList names;
        for (const TBaseModelObject *object : list.Items())
            names << object->Name;
        return names;
    }
    // A table with an unsorted mix of key and plain columns.
    TDiagramTable *KeyedTable(const QString &name, int left, int top)
    {
        TDiagramTable *table = AddTable(*model, "HR", name, left, top, 150, 90);
        for (const char *column : {"ZETA", "ALPHA", "ID"})
            AddColumn(*table, column);
        AddPrimaryKey(*table, name + "_PK", {"ID"});
        return table;
    }

    int Rebuilds = 0;
    std::vector<QStringList> Scripts;
    QStringList Queries;
};

} // namespace
