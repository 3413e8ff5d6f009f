#pragma once
// Shared by the diagram file tests: recording hooks for the canvas, the
// explorer tree and the console, a fixture with the program-wide objects,
// and a model that uses every part of the file format.
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/model_hooks.h"
#include "model/preferences.h"
#include "model_builders.h"
#include "platform/fake_user_interface.h"

#include <QBuffer>

#include <gtest/gtest.h>

class TRecordingModelHooks : public IDiagramCanvas, public IModelExplorer, public IModelConsole {
public:
    TRecordingModelHooks()
    {
        TModelHooks::Canvas = this;
        TModelHooks::Explorer = this;
        TModelHooks::Console = this;
    }
    ~TRecordingModelHooks() override
    {
        TModelHooks::Canvas = nullptr;
        TModelHooks::Explorer = nullptr;
        TModelHooks::Console = nullptr;
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

    // The document's lines joined as the file holds them.
    static QByteArray FileBytes(const QStringList &lines)
    {
        QByteArray bytes;
        for (const QString &line : lines)
            bytes += line.toLatin1() + "\r\n";
        return bytes;
    }
    // Reads a document given as text into the current model, as a paste does.
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

// A page using every element, list and value encoding of the file.
inline void FillFullModel(TDiagramObjectModel &model)
{
    model.Name = QStringLiteral("Sales & Orders");
    model.Comment = QStringLiteral("Line one\r\nline ]]> two");
    model.Style.SetDefaultStyle();
    model.Style.FontSize = 10;
    model.Style.LinkFontName = QStringLiteral("Courier New");
    model.Style.BackgroundColour = 0x00C0FFEE;
    model.Style.HeaderBandColour = clBtnFace;
    model.Style.ShowOwnerInTitle = true;
    model.Style.TwoToneHeader = true;

    TDiagramTable *dept = AddTable(model, "SCOTT", "DEPT", 20, 30, 180, 120);
    dept->Comment = QStringLiteral("Departments");
    AddColumn(*dept, "DEPTNO", "NUMBER", 0, 2, 0, false);
    TDiagramColumn *dname = AddColumn(*dept, "DNAME", "VARCHAR2", 14);
    dname->DefaultValue = QStringLiteral("'NEW'");
    dname->Comment = QStringLiteral("Name <short> & sweet");
    TDiagramColumn *loc = AddColumn(*dept, "LOC", "VARCHAR2", 13);
    loc->Comment = QString::fromUtf8("Z\u00fcrich or \u0141\u00f3d\u017a \U0001F600");
    AddPrimaryKey(*dept, "DEPT_PK", {"DEPTNO"});
    AddUniqueKey(*dept, "DEPT_DNAME_UK", {"DNAME", "LOC"});
    auto *check = new TDiagramCheckConstraint();
    check->Name = QStringLiteral("DEPT_LOC_CK");
    check->CheckText = QStringLiteral("LOC IN ('A', 'B') AND DEPTNO > 0");
    dept->CheckConstraints.Add(check);
    auto *index = new TDiagramIndex();
    index->Name = QStringLiteral("DEPT_DNAME_IX");
    index->Owner = QStringLiteral("SCOTT");
    index->IndexType = QStringLiteral("NORMAL");
    index->TableName = QStringLiteral("DEPT");
    index->TableOwner = QStringLiteral("SCOTT");
    index->Columns = QStringList{"DNAME"};
    dept->Indexes.Add(index);

    TDiagramTable *emp = AddTable(model, "SCOTT", "EMP & CO", -20, 260, 200, 90);
    emp->IsVirtual = true;
    emp->ShowOnlyKeyColumns = true;
    emp->HideDataTypes = true;
    emp->HideComments = true;
    emp->ColumnSortMethod = csmAlpha;
    emp->StoreReloadFromDatabase(true);
    AddColumn(*emp, "EMPNO", "NUMBER", 0, 4, 0, false)->IsVirtual = true;
    AddColumn(*emp, "DEPTNO", "NUMBER", 0, 2);
    AddColumn(*emp, "SAL", "NUMBER", 0, 7, 2)->Sequence = -1;
    AddForeignKey(*emp, "EMP_DEPT_FK", {"DEPTNO"}, "SCOTT", "DEPT", {"DEPTNO"}, "CASCADE");
    AddForeignKey(*emp, "EMP_MGR_FK", {"MGR", "EMPNO"}, "SCOTT", "EMP & CO", {"EMPNO", "MGR"}, "SET NULL")
        ->IsVirtual = true;

    auto *persons = new TDiagramObjectTable();
    persons->Owner = QStringLiteral("HR");
    persons->Name = QStringLiteral("PERSONS");
    persons->TypeOwner = QStringLiteral("HR");
    persons->TypeName = QStringLiteral("PERSON_T");
    persons->Left = 400;
    persons->ColumnSortMethod = csmKeys;
    AddColumn(*persons, "PERSON_ID", "NUMBER", 0, 10, 0, false);
    model.ObjectTables.Add(persons);

    auto *type = new TDiagramType();
    type->Owner = QStringLiteral("HR");
    type->Name = QStringLiteral("PERSON_T");
    type->Left = 400;
    type->Top = 200;
    type->Width = 150;
    type->Height = 60;
    auto *attribute = new TDiagramAttribute();
    attribute->Name = QStringLiteral("FIRST_NAME");
    type->Attributes.Add(attribute);
    model.Types.Add(type);

    auto *note = new TDiagramNote();
    note->Name = QStringLiteral("Note 1");
    note->IsVirtual = true;
    note->Text = QStringLiteral("Keep <this> & that]]>\r\nsecond line");
    note->Left = 600;
    note->Top = 20;
    note->Width = 200;
    note->Height = 100;
    model.Notes.Add(note);
}
