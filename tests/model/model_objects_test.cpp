// Construction defaults and deep copies of the model classes.
#include "model/diagram_note.h"
#include "model/diagram_table.h"
#include "model/diagram_type.h"
#include "model/helpers.h"
#include "model_builders.h"

#include <QRect>

#include <gtest/gtest.h>

namespace {

QRect Box(const TBaseDiagramRectangle &r) { return QRect(r.Left, r.Top, r.Width, r.Height); }

TEST(ModelObjects, NewBoxes)
{
    TDiagramTable table;
    EXPECT_EQ(Box(table), QRect(10, 10, 100, 100));
    EXPECT_EQ(table.ColumnSortMethod, csmCreation);
    EXPECT_FALSE(table.ShowOnlyKeyColumns || table.HideComments || table.HideDataTypes || table.Partitioned);
    EXPECT_EQ(Box(TDiagramNote()), QRect(10, 10, 100, 100));
    EXPECT_EQ(Box(TDiagramType()), QRect(0, 0, 0, 0));
}

void FillEmp(TDiagramTable &emp)
{
    emp.Name = "EMP";
    emp.Owner = "HR";
    emp.Comment = "Employees";
    emp.Left = 40;
    emp.Top = 50;
    emp.IsVirtual = emp.HideComments = emp.Partitioned = true;
    emp.ColumnSortMethod = csmAlpha;
    auto *id = AddColumn(emp, "ID", "NUMBER", 0, 10, 0, false);
    id->Comment = "Key";
    id->DefaultValue = "0";
    AddColumn(emp, "DEPT_ID", "NUMBER", 0, 10);
    AddPrimaryKey(emp, "EMP_PK", {"ID"});
    AddUniqueKey(emp, "EMP_UK", {"DEPT_ID", "ID"});
    AddForeignKey(emp, "EMP_DEPT_FK", {"DEPT_ID"}, "HR", "DEPT", {"ID"}, "CASCADE");
    auto *check = new TDiagramCheckConstraint();
    check->CheckText = "ID > 0";
    emp.CheckConstraints.Add(check);
    auto *index = new TDiagramIndex();
    index->Columns = QStringList{"DEPT_ID"};
    index->IndexType = "BITMAP";
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
    EXPECT_EQ(QStringList({copy.Name, copy.Owner, copy.Comment}), QStringList({"EMP", "HR", "Employees"}));
    EXPECT_EQ(Box(copy), QRect(40, 50, 100, 100));
    EXPECT_TRUE(copy.IsVirtual && copy.HideComments && copy.Partitioned);
    EXPECT_EQ(copy.Graphic, &graphic) << "the copy shares the source's box";
    EXPECT_TRUE(copy.LinkPaths.empty());
    EXPECT_EQ(copy.ColumnSortMethod, csmCreation);

    ASSERT_EQ(copy.Columns.Count(), 2);
    const TDiagramColumn *id = copy.Columns.GetColumn(0);
    const TDiagramForeignKey *key = copy.ForeignKeys.GetForeignKey(0);
    const TDiagramIndex *index = copy.Indexes.GetIndex(0);
    EXPECT_NE(id, emp->Columns.GetColumn(0));
    EXPECT_EQ(QStringList({id->Comment, id->DefaultValue, id->GetDataTypeText(), THelpers::BoolToYN(id->IsNullable),
                           QString::number(id->Sequence), copy.UniqueKeys.GetUniqueKey(0)->Columns.join(','),
                           key->OnDelete, key->RefColumns.join(','), copy.CheckConstraints.GetCheckConstraint(0)->CheckText,
                           index->IndexType, index->TableOwner, index->Columns.join(',')}),
              QStringList({"Key", "0", "NUMBER(10)", "N", "1", "DEPT_ID,ID", "CASCADE", "ID", "ID > 0", "BITMAP", "HR",
                           "DEPT_ID"}));

    // The copied foreign keys belong to the copy, so freeing the source leaves
    // nothing pointing at freed memory.
    EXPECT_EQ(key->Table, &copy);
    emp.reset();
    EXPECT_EQ(key->Table->Name, "EMP");
    // A key copied on its own keeps the source's table and replaces the columns.
    TDiagramForeignKey keyCopy;
    keyCopy.Columns = QStringList{"OLD"};
    keyCopy.RefColumns = QStringList{"OLD_REF"};
    keyCopy.Assign(*key);
    EXPECT_EQ(keyCopy.Table, &copy);
    EXPECT_EQ(QStringList({keyCopy.RefTableName, keyCopy.Columns.join(','), keyCopy.RefColumns.join(',')}),
              QStringList({"DEPT", "DEPT_ID", "ID"}));
}

TEST(ModelObjects, ObjectTableNoteAndTypeCopies)
{
    TDiagramObjectTable people;
    people.TypeOwner = "HR";
    people.TypeName = "PERSON_T";
    AddColumn(people, "NAME", "VARCHAR2", 30);
    TDiagramObjectTable peopleCopy;
    peopleCopy.Assign(people);
    EXPECT_EQ(QStringList({peopleCopy.TypeOwner, peopleCopy.TypeName}), QStringList({"HR", "PERSON_T"}));
    EXPECT_EQ(peopleCopy.Columns.Count(), 1);

    // A note copies only its text.
    TDiagramNote note;
    note.Name = "N1";
    note.Text = "Remember";
    note.Left = 300;
    TDiagramNote noteCopy;
    noteCopy.Name = "Mine";
    noteCopy.Assign(note);
    EXPECT_EQ(QStringList({noteCopy.Text, noteCopy.Name}), QStringList({"Remember", "Mine"}));
    EXPECT_EQ(noteCopy.Left, 10);

    // A type leaves the copy's attributes and methods as they were.
    TDiagramType type;
    type.Owner = "HR";
    type.Left = 5;
    type.Attributes.Add(new TDiagramAttribute());
    TDiagramType typeCopy;
    typeCopy.Methods.Add(new TDiagramMethod());
    typeCopy.Assign(type);
    EXPECT_EQ(QList<int>({typeCopy.Left, typeCopy.Attributes.Count(), typeCopy.Methods.Count()}), QList<int>({5, 0, 1}));
    EXPECT_EQ(typeCopy.Owner, "HR");

    TDiagramColumn column;
    EXPECT_THROW(column.Assign(TDiagramIndex()), EInvalidCast);
}

TEST(ModelObjects, ColumnDdlLinePadsOrCutsTheName)
{
    TDiagramColumn column;
    column.Name = "ORDER_NUMBER";
    column.DataType = "NUMBER";
    EXPECT_EQ(column.GetDdlText(10), "ORDER_NUMB NUMBER NOT NULL");
    EXPECT_EQ(column.GetDdlText(20), "ORDER_NUMBER         NUMBER NOT NULL");
    column.IsNullable = true;
    column.DataType = "VARCHAR2";
    column.DataLength = 30;
    EXPECT_EQ(column.GetDdlText(12), "ORDER_NUMBER VARCHAR2(30)");
}

} // namespace
