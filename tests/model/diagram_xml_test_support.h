#pragma once
// Shared by the diagram file tests: recording hooks for the canvas, the
// explorer tree and the console, a fixture with the program-wide objects,
// and a page that uses every part of the file format.
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/model_hooks.h"
#include "model/preferences.h"
#include "model/xml_text.h"
#include "model_builders.h"
#include "platform/fake_user_interface.h"

#include <QBuffer>

#include <gtest/gtest.h>

class TRecordingModelHooks : public IDiagramCanvas, public IModelExplorer, public IModelConsole {
public:
    TRecordingModelHooks() { Install(this); }
    ~TRecordingModelHooks() override { Install(nullptr); }
    static void Install(TRecordingModelHooks *hooks)
    {
        TModelHooks::Canvas = hooks;
        TModelHooks::Explorer = hooks;
        TModelHooks::Console = hooks;
    }
    void Rebuild() override { ++Rebuilds; }
    void RefreshTablesFromDatabase(const std::vector<TDiagramTable *> &tables) override
    {
        for (const TDiagramTable *table : tables)
            RefreshedTables << table->Owner + QLatin1Char('.') + table->Name;
    }
    void RefreshExplorerTree() override { ++ExplorerRefreshes; }
    void WriteLine(const QString &line) override { ConsoleLines << line; }

    int Rebuilds = 0;
    int ExplorerRefreshes = 0;
    QStringList RefreshedTables;
    QStringList ConsoleLines;
};

class DiagramFileTest : public ::testing::Test {
protected:
    void SetUp() override { InitializeModelGlobals(); }
    void TearDown() override { FinalizeModelGlobals(); }

    static QByteArray Written(const TDiagramObjectModel &model, bool allObjects = true)
    {
        return TXmlText::ToFileBytes(model.BuildDiagramXml(allObjects));
    }
    // Reads a document given as text into the model (the current one by
    // default), as a paste does.
    static bool LoadText(const QByteArray &text, bool merge = false, TDiagramObjectModel *model = nullptr)
    {
        QBuffer buffer;
        buffer.setData(text);
        buffer.open(QIODevice::ReadOnly);
        return (model ? model : CurrentModel)->LoadModelFromStream(CurrentDiagram, merge, buffer);
    }

    TRecordingModelHooks Hooks;
    TScopedFakeUserInterface UserInterface;
};

inline void Place(TBaseDiagramRectangle &box, int left, int top, int width, int height)
{
    box.Left = left;
    box.Top = top;
    box.Width = width;
    box.Height = height;
}

// A page using every element, list and value encoding of the file.
inline void FillFullModel(TDiagramObjectModel &model)
{
    model.Name = "Sales & Orders";
    model.Comment = "Line one\r\nline ]]> two";
    TOSSchemaStyle &style = model.Style;
    style.SetDefaultStyle();
    style.FontSize = 10;
    style.LinkFontName = "Courier New";
    style.BackgroundColour = 0x00C0FFEE;
    style.HeaderBandColour = clBtnFace;
    style.ShowOwnerInTitle = style.TwoToneHeader = true;

    TDiagramTable *dept = AddTable(model, "SCOTT", "DEPT", 20, 30, 180, 120);
    dept->Comment = "Departments";
    AddColumn(*dept, "DEPTNO", "NUMBER", 0, 2, 0, false);
    TDiagramColumn *dname = AddColumn(*dept, "DNAME", "VARCHAR2", 14);
    dname->DefaultValue = "'NEW'";
    dname->Comment = "Name <short> & sweet";
    AddColumn(*dept, "LOC", "VARCHAR2", 13)->Comment =
        QString::fromUtf8("Z\u00fcrich or \u0141\u00f3d\u017a \U0001F600");
    AddPrimaryKey(*dept, "DEPT_PK", {"DEPTNO"});
    AddUniqueKey(*dept, "DEPT_DNAME_UK", {"DNAME", "LOC"});
    auto *check = new TDiagramCheckConstraint();
    check->Name = "DEPT_LOC_CK";
    check->CheckText = "LOC IN ('A', 'B') AND DEPTNO > 0";
    dept->CheckConstraints.Add(check);
    auto *index = new TDiagramIndex();
    index->Name = "DEPT_DNAME_IX";
    index->Owner = index->TableOwner = "SCOTT";
    index->IndexType = "NORMAL";
    index->TableName = "DEPT";
    index->Columns = QStringList{"DNAME"};
    dept->Indexes.Add(index);

    TDiagramTable *emp = AddTable(model, "SCOTT", "EMP & CO", -20, 260, 200, 90);
    emp->IsVirtual = emp->ShowOnlyKeyColumns = emp->HideDataTypes = emp->HideComments = true;
    emp->ColumnSortMethod = csmAlpha;
    emp->StoreReloadFromDatabase(true);
    AddColumn(*emp, "EMPNO", "NUMBER", 0, 4, 0, false)->IsVirtual = true;
    AddColumn(*emp, "DEPTNO", "NUMBER", 0, 2);
    AddColumn(*emp, "SAL", "NUMBER", 0, 7, 2)->Sequence = -1;
    AddForeignKey(*emp, "EMP_DEPT_FK", {"DEPTNO"}, "SCOTT", "DEPT", {"DEPTNO"}, "CASCADE");
    AddForeignKey(*emp, "EMP_MGR_FK", {"MGR", "EMPNO"}, "SCOTT", "EMP & CO", {"EMPNO", "MGR"}, "SET NULL")
        ->IsVirtual = true;

    auto *persons = new TDiagramObjectTable();
    persons->Owner = persons->TypeOwner = "HR";
    persons->Name = "PERSONS";
    persons->TypeName = "PERSON_T";
    persons->Left = 400;
    persons->ColumnSortMethod = csmKeys;
    AddColumn(*persons, "PERSON_ID", "NUMBER", 0, 10, 0, false);
    model.ObjectTables.Add(persons);

    auto *type = new TDiagramType();
    type->Owner = "HR";
    type->Name = "PERSON_T";
    Place(*type, 400, 200, 150, 60);
    type->Attributes.Add(new TDiagramAttribute());
    model.Types.Add(type);

    auto *note = new TDiagramNote();
    note->Name = "Note 1";
    note->IsVirtual = true;
    note->Text = "Keep <this> & that]]>\r\nsecond line";
    Place(*note, 600, 20, 200, 100);
    model.Notes.Add(note);
}
