// Construction defaults and deep copies of the model classes.
#include "model/diagram_note.h"
#include "model/diagram_table.h"
#include "model/diagram_type.h"
#include "model_builders.h"

#include <gtest/gtest.h>

namespace {

TEST(ModelObjects, NewTableAndTypeDefaults)
{
    TDiagramTable table;
    EXPECT_EQ(QList<int>({table.Left, table.Top, table.Width, table.Height}), QList<int>({10, 10, 100, 100}));
    EXPECT_EQ(table.ColumnSortMethod, csmCreation);
    EXPECT_FALSE(table.ShowOnlyKeyColumns || table.HideComments || table.HideDataTypes || table.Partitioned);
    TDiagramType type;
    EXPECT_EQ(QList<int>({type.Left, type.Top, type.Width, type.Height}), QList<int>({0, 0, 0, 0}));
    TDiagramNote note;
    EXPECT_EQ(QList<int>({note.Left, note.Top, note.Width, note.Height}), QList<int>({10, 10, 100, 100}));
}


void FillEmp(TDiagramTable &emp)
{
    emp.Name = "EMP";
    emp.Owner = "HR";
    emp.Comment = "Employees";
    emp.Left = 40;
    emp.Top = 50;
    emp.Width = 210;
    emp.Height = 120;
    emp.IsVirtual = true;
    emp.HideComments = true;
    emp.Partitioned = true;
    emp.ColumnSortMethod = csmAlpha;
    auto *id = AddColumn(emp, "ID", "NUMBER", 0, 10, 0, false);
    id->Comment = "Key";
    id->DefaultValue = "0";
    AddColumn(emp, "DEPT_ID", "NUMBER", 0, 10);
    AddPrimaryKey(emp, "EMP_PK", {"ID"});
    AddUniqueKey(emp, "EMP_UK", {"DEPT_ID", "ID"});
    AddForeignKey(emp, "EMP_DEPT_FK", {"DEPT_ID"}, "HR", "DEPT", {"ID"}, "CASCADE");
    auto *check = new TDiagramCheckConstraint();
    check->Name = "EMP_CK";
    check->CheckText = "ID > 0";
    emp.CheckConstraints.Add(check);
    auto *index = new TDiagramIndex();
    index->Name = "EMP_IX";
    index->Owner = "HR";
    index->Columns = QStringList{"DEPT_ID"};
    index->IndexType = "BITMAP";
    index->TableName = "EMP";
    index->TableOwner = "HR";
    emp.Indexes.Add(index);
    emp.AddLinkPath("DEPT", "HR", 1, "EMP_DEPT_FK");
}

TEST(ModelObjects, TableCopyIsDeepButLeavesLinkPathsAndSortMethod)
{
    auto emp = std::make_unique<TDiagramTable>();
    FillEmp(*emp);
    int graphic = 0;
    emp->Graphic = &graphic;

    TDiagramTable copy;
    copy.Assign(*emp);
    EXPECT_EQ(copy.Name, "EMP");
    EXPECT_EQ(copy.Owner, "HR");
    EXPECT_EQ(copy.Comment, "Employees");
    EXPECT_EQ(QList<int>({copy.Left, copy.Top, copy.Width, copy.Height}), QList<int>({40, 50, 210, 120}));
    EXPECT_TRUE(copy.IsVirtual);
    EXPECT_TRUE(copy.HideComments);
    EXPECT_TRUE(copy.Partitioned);
    EXPECT_EQ(copy.Graphic, &graphic) << "the copy shares the source's box";
    EXPECT_TRUE(copy.LinkPaths.empty());
    EXPECT_EQ(copy.ColumnSortMethod, csmCreation);

    ASSERT_EQ(copy.Columns.Count(), 2);
    const TDiagramColumn *id = copy.Columns.GetColumn(0);
    EXPECT_NE(id, emp->Columns.GetColumn(0));
    EXPECT_EQ(id->Comment, "Key");
    EXPECT_EQ(id->DefaultValue, "0");
    EXPECT_EQ(id->DataPrecision, 10);
    EXPECT_FALSE(id->IsNullable);
    EXPECT_EQ(id->Sequence, 1);
    EXPECT_EQ(copy.UniqueKeys.GetUniqueKey(0)->Columns, QStringList({"DEPT_ID", "ID"}));
    EXPECT_EQ(copy.ForeignKeys.GetForeignKey(0)->OnDelete, "CASCADE");
    EXPECT_EQ(copy.ForeignKeys.GetForeignKey(0)->RefColumns, QStringList({"ID"}));
    EXPECT_EQ(copy.CheckConstraints.GetCheckConstraint(0)->CheckText, "ID > 0");
    const TDiagramIndex *index = copy.Indexes.GetIndex(0);
    EXPECT_EQ(index->IndexType, "BITMAP");
    EXPECT_EQ(index->Columns, QStringList({"DEPT_ID"}));
    EXPECT_EQ(index->TableOwner, "HR");

    // The copied foreign keys belong to the copy, so freeing the source leaves
    // nothing pointing at freed memory.
    EXPECT_EQ(copy.ForeignKeys.GetForeignKey(0)->Table, &copy);
    emp.reset();
    EXPECT_EQ(copy.ForeignKeys.GetForeignKey(0)->Table->Name, "EMP");
}

TEST(ModelObjects, ForeignKeyCopyKeepsTheSourceTable)
{
    TDiagramTable emp;
    FillEmp(emp);
    TDiagramForeignKey copy;
    copy.Assign(*emp.ForeignKeys.GetForeignKey(0));
    EXPECT_EQ(copy.Table, &emp);
    EXPECT_EQ(copy.RefTableName, "DEPT");
}

TEST(ModelObjects, ForeignKeyCopyAppendsReferencedColumns)
{
    TDiagramForeignKey source;
    source.RefColumns = QStringList{"ID"};
    TDiagramForeignKey target;
    target.RefColumns = QStringList{"OLD"};
    target.Assign(source);
    EXPECT_EQ(target.RefColumns, QStringList({"OLD", "ID"}));
}

TEST(ModelObjects, ObjectTableCopyAddsItsType)
{
    TDiagramObjectTable source;
    source.Name = "PEOPLE";
    source.TypeOwner = "HR";
    source.TypeName = "PERSON_T";
    AddColumn(source, "NAME", "VARCHAR2", 30);
    TDiagramObjectTable copy;
    copy.Assign(source);
    EXPECT_EQ(copy.TypeName, "PERSON_T");
    EXPECT_EQ(copy.TypeOwner, "HR");
    EXPECT_EQ(copy.Columns.Count(), 1);
}

TEST(ModelObjects, NoteCopyTakesOnlyTheText)
{
    TDiagramNote source;
    source.Name = "N1";
    source.Text = "Remember";
    source.Left = 300;
    TDiagramNote copy;
    copy.Name = "Mine";
    copy.Assign(source);
    EXPECT_EQ(copy.Text, "Remember");
    EXPECT_EQ(copy.Name, "Mine");
    EXPECT_EQ(copy.Left, 10);
}

TEST(ModelObjects, TypeCopyLeavesAttributesAndMethods)
{
    TDiagramType source;
    source.Name = "ADDRESS_T";
    source.Owner = "HR";
    source.Left = 5;
    source.Attributes.Add(new TDiagramAttribute());
    TDiagramType copy;
    copy.Methods.Add(new TDiagramMethod());
    copy.Assign(source);
    EXPECT_EQ(copy.Owner, "HR");
    EXPECT_EQ(copy.Left, 5);
    EXPECT_EQ(copy.Attributes.Count(), 0);
    EXPECT_EQ(copy.Methods.Count(), 1);
}

TEST(ModelObjects, AssignFromAnotherClassIsAnInvalidCast)
{
    TDiagramColumn column;
    TDiagramIndex index;
    EXPECT_THROW(column.Assign(index), EInvalidCast);
}

TEST(ModelObjects, ColumnDdlLinePadsOrCutsTheName)
{
    TDiagramColumn column;
    column.Name = "ORDER_NUMBER";
    column.DataType = "NUMBER";
    column.IsNullable = false;
    EXPECT_EQ(column.GetDdlText(10), "ORDER_NUMB NUMBER NOT NULL");
    EXPECT_EQ(column.GetDdlText(20), "ORDER_NUMBER         NUMBER NOT NULL");
    column.IsNullable = true;
    column.DataType = "VARCHAR2";
    column.DataLength = 30;
    EXPECT_EQ(column.GetDdlText(12), "ORDER_NUMBER VARCHAR2(30)");
}

TEST(ModelObjects, DestroyingATableLeavesItsBoxAlone)
{
    int box = 7;
    {
        TDiagramTable table;
        table.Graphic = &box;
        AddColumn(table, "ID");
    }
    EXPECT_EQ(box, 7);
}

} // namespace

namespace {

TEST(ModelObjects, ClearEmptiesThePartsAndKeepsTheTable)
{
    TDiagramTable emp;
    FillEmp(emp);
    emp.Clear();
    EXPECT_EQ(emp.Columns.Count() + emp.PrimaryKeys.Count() + emp.UniqueKeys.Count() + emp.ForeignKeys.Count()
                  + emp.CheckConstraints.Count() + emp.Indexes.Count(),
              0);
    EXPECT_TRUE(emp.LinkPaths.empty());
    EXPECT_EQ(emp.Name, "EMP");
    EXPECT_EQ(emp.Left, 40);
}

} // namespace
