// Ownership, order and look-up of the owning lists.
#include "model/diagram_table.h"
#include "model/diagram_type.h"
#include "model/model_lists.h"
#include "model_builders.h"

#include <gtest/gtest.h>

namespace {

// A diagram object that counts how many of its kind are alive.
class TCounted : public TBaseDiagramObject {
public:
    static int Alive;
    TCounted() { ++Alive; }
    explicit TCounted(const QString &name) : TCounted() { Name = name; }
    ~TCounted() override { --Alive; }
};
int TCounted::Alive = 0;

class TNotADiagramObject : public TBaseModelObject {};

QStringList Names(const TOSBaseList &list)
{
    QStringList names;
    for (auto *item : list.Items())
        names << item->Name;
    return names;
}

class OSBaseListTest : public ::testing::Test {
protected:
    void SetUp() override { TCounted::Alive = 0; }
    void TearDown() override { EXPECT_EQ(TCounted::Alive, 0) << "an item leaked or was freed twice"; }

    TCounted *Fill(TOSBaseList &list, int count)
    {
        TCounted *third = nullptr;
        for (int i = 0; i < count; ++i) {
            auto *item = new TCounted(QStringLiteral("I%1").arg(i + 1));
            list.Add(item);
            if (i == 2)
                third = item;
        }
        return third;
    }
};

TEST_F(OSBaseListTest, EmptyListCountsZeroAndFindsNothing)
{
    TOSBaseList list(true);
    TOSTableList tables;
    TOSColumnList columns;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.FindByName("X"), nullptr);
    EXPECT_EQ(tables.FindTable("X", "Y"), nullptr);
    EXPECT_EQ(columns.FindColumn("X"), nullptr);
}

TEST_F(OSBaseListTest, AddReturnsIndexAndRemoveFreesOwnedItems)
{
    TOSBaseList list(true);
    auto *a = new TCounted("A");
    EXPECT_EQ(list.Add(a), 0);
    EXPECT_EQ(list.Add(new TCounted("B")), 1);
    EXPECT_EQ(TCounted::Alive, 2);
    list.Remove(a);
    EXPECT_EQ(TCounted::Alive, 1);
    EXPECT_EQ(Names(list), QStringList({"B"}));
    TCounted stranger("S");
    list.Remove(&stranger); // absent: ignored
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(OSBaseListTest, NonOwningListFreesNothing)
{
    TCounted a("A"), b("B");
    {
        TOSSelectedGraphics selection;
        selection.Add(&a);
        selection.Add(&b);
        selection.Remove(&a);
        selection.Clear();
    }
    EXPECT_EQ(TCounted::Alive, 2);
}

TEST_F(OSBaseListTest, IndexOutsideTheListRaises)
{
    TOSBaseList list(true);
    Fill(list, 2);
    EXPECT_THROW(list.GetItem(2), EListError);
    EXPECT_THROW(list.GetItem(-1), EListError);
    try {
        list.GetItem(5);
    } catch (const EListError &e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (5)");
    }
}

TEST_F(OSBaseListTest, FindByNameIsExactAndReturnsTheFirst)
{
    TOSBaseList list(true);
    auto *first = new TCounted("ID");
    list.Add(first);
    list.Add(new TCounted("ID"));
    EXPECT_EQ(list.FindByName("ID"), first);
    EXPECT_EQ(list.FindByName("id"), nullptr);
    EXPECT_EQ(list.FindByName("I"), nullptr);
}

TEST_F(OSBaseListTest, FindByNameRejectsObjectsThatAreNotDiagramObjects)
{
    TOSBaseList list(true);
    list.Add(new TNotADiagramObject());
    EXPECT_THROW(list.FindByName("x"), EInvalidCast);
}

TEST_F(OSBaseListTest, TypedAccessorRejectsAnotherClass)
{
    TOSColumnList columns;
    columns.Add(new TDiagramIndex());
    EXPECT_THROW(columns.GetColumn(0), EInvalidCast);
    TOSTableList tables;
    tables.Add(new TDiagramObjectTable()); // an object table is a table
    EXPECT_NO_THROW(tables.GetTable(0));
}

TEST_F(OSBaseListTest, MoveItemMovesOnePlaceWhateverTheStep)
{
    TOSBaseList list(true);
    Fill(list, 5);
    auto *first = list.GetItem(0);
    auto *last = list.GetItem(4);
    list.MoveItem(first, -1);
    list.MoveItem(last, +1);
    EXPECT_EQ(Names(list), QStringList({"I1", "I2", "I3", "I4", "I5"}));
    list.MoveItem(first, +5);
    EXPECT_EQ(Names(list), QStringList({"I2", "I1", "I3", "I4", "I5"}));
    list.MoveItem(last, -3);
    EXPECT_EQ(Names(list), QStringList({"I2", "I1", "I3", "I5", "I4"}));
    list.MoveItem(last, 0);
    EXPECT_EQ(Names(list), QStringList({"I2", "I1", "I3", "I5", "I4"}));
    EXPECT_TRUE(list.OwnsObjects());
    list.Clear();
    EXPECT_EQ(TCounted::Alive, 0);
}

TEST_F(OSBaseListTest, MoveToFirstAndLastSwapRatherThanShift)
{
    TOSBaseList list(true);
    TCounted *third = Fill(list, 5);
    list.MoveToFirst(third);
    EXPECT_EQ(Names(list), QStringList({"I3", "I2", "I1", "I4", "I5"}));
    list.MoveToLast(third);
    EXPECT_EQ(Names(list), QStringList({"I5", "I2", "I1", "I4", "I3"}));
    list.ExchangeWith(third, 1);
    EXPECT_EQ(Names(list), QStringList({"I5", "I3", "I1", "I4", "I2"}));
    TCounted stranger("S");
    list.ExchangeWith(&stranger, 0);
    EXPECT_EQ(Names(list), QStringList({"I5", "I3", "I1", "I4", "I2"}));
    EXPECT_THROW(list.ExchangeWith(third, 9), EListError);
}

TEST_F(OSBaseListTest, AssignOfTablesMakesIndependentDeepCopies)
{
    auto source = std::make_unique<TOSTableList>();
    auto *emp = new TDiagramTable();
    emp->Name = "EMP";
    AddColumn(*emp, "ID");
    source->Add(emp);
    auto *dept = new TDiagramObjectTable();
    dept->Name = "DEPT";
    source->Add(dept);

    TOSTableList copy;
    copy.Assign(*source);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_NE(copy.GetTable(0), emp);
    EXPECT_EQ(copy.GetTable(0)->Name, "EMP");
    EXPECT_NE(copy.GetTable(0)->Columns.GetColumn(0), emp->Columns.GetColumn(0));
    // A table list always copies into plain tables.
    EXPECT_EQ(dynamic_cast<TDiagramObjectTable *>(copy.GetTable(1)), nullptr);

    source.reset();
    EXPECT_EQ(copy.GetTable(0)->Columns.GetColumn(0)->Name, "ID");
}

TEST_F(OSBaseListTest, AssignReplacesTheOldItems)
{
    TOSBaseList list(true);
    Fill(list, 3);
    TOSBaseList empty(true);
    list.Assign(empty);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(TCounted::Alive, 0);
}

TEST_F(OSBaseListTest, SelectionCopiesPlainObjects)
{
    TCounted a("A");
    TOSSelectedGraphics selection;
    selection.Add(&a);
    TOSBaseList copy(true);
    copy.Assign(selection);
    ASSERT_EQ(copy.Count(), 1);
    EXPECT_EQ(copy.GetItem(0)->Name, "");
}

TEST_F(OSBaseListTest, ContainsColumnIgnoresCase)
{
    TDiagramTable table;
    AddPrimaryKey(table, "PK", {"ID"});
    AddUniqueKey(table, "UK", {"CODE", "Region"});
    AddForeignKey(table, "FK", {"DEPT_ID"}, "HR", "DEPT", {"ID"});
    EXPECT_TRUE(table.PrimaryKeys.ContainsColumn("id"));
    EXPECT_TRUE(table.UniqueKeys.ContainsColumn("REGION"));
    EXPECT_TRUE(table.ForeignKeys.ContainsColumn("dept_id"));
    EXPECT_FALSE(table.PrimaryKeys.ContainsColumn("CODE"));
    EXPECT_EQ(table.PrimaryKeys.FindPrimaryKey("PK"), table.PrimaryKeys.GetPrimaryKey(0));
    EXPECT_EQ(table.PrimaryKeys.FindPrimaryKey("pk"), nullptr);
}

TEST_F(OSBaseListTest, FindTableMatchesNameAndOwnerExactly)
{
    TDiagramObjectModel model;
    AddTable(model, "HR", "EMP");
    auto *emp2 = AddTable(model, "SCOTT", "EMP");
    EXPECT_EQ(model.Tables.FindTable("EMP", "SCOTT"), emp2);
    EXPECT_EQ(model.Tables.FindTable("emp", "SCOTT"), nullptr);
    EXPECT_EQ(model.Tables.FindTable("EMP", "scott"), nullptr);
    auto *type = new TDiagramType();
    type->Name = "ADDRESS_T";
    type->Owner = "HR";
    model.Types.Add(type);
    EXPECT_EQ(model.Types.FindType("ADDRESS_T", "HR"), type);
    EXPECT_EQ(model.Types.FindType("ADDRESS_T", ""), nullptr);
}

} // namespace
