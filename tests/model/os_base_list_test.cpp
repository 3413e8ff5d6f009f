// Ownership, order and look-up of the owning lists.
#include "model/diagram_table.h"
#include "model/diagram_type.h"
#include "model/model_lists.h"
#include "ddl_test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// A diagram object that counts how many of its kind are alive.
class TCounted : public TBaseDiagramObject {
public:
    static int Alive;
    explicit TCounted(const QString &name = {})
    {
        Name = name;
        ++Alive;
    }
    ~TCounted() override { --Alive; }
};
int TCounted::Alive = 0;

QStringList Names(const TOSBaseList &list)
{
    QStringList names;
    for (auto *item : list.Items())
        names << item->Name;
    return names;
}

// Clearing the list at the end leaves no counted item alive: none leaked
// (a double free shows under the address sanitizer).
class OSBaseList : public ::testing::Test {
protected:
    void SetUp() override { TCounted::Alive = 0; }
    void TearDown() override
    {
        list.Clear();
        EXPECT_EQ(TCounted::Alive, 0) << "an item leaked";
    }

    // I1..In; returns the items.
    std::vector<TCounted *> Fill(int count)
    {
        std::vector<TCounted *> items;
        for (int i = 1; i <= count; ++i) {
            items.push_back(new TCounted(QStringLiteral("I%1").arg(i)));
            list.Add(items.back());
        }
        return items;
    }
    TOSBaseList list{true};
};

TEST_F(OSBaseList, AddRemoveFindAndIndexErrors)
{
    EXPECT_EQ(list.FindByName("X"), nullptr);
    EXPECT_EQ(TOSTableList().FindTable("X", "Y"), nullptr);
    EXPECT_EQ(TOSColumnList().FindColumn("X"), nullptr);
    const auto items = Fill(3);
    items[2]->Name = "I1";
    EXPECT_EQ(list.FindByName("I1"), items[0]) << "exact name, first match";
    EXPECT_EQ(list.FindByName("i1"), nullptr);
    list.Remove(items[0]);
    EXPECT_EQ(TCounted::Alive, 2) << "an owning list frees what it removes";
    TCounted stranger("S");
    list.Remove(&stranger);
    EXPECT_EQ(Names(list), QStringList({"I2", "I1"}));
    list.Insert(2, new TCounted("END"));
    EXPECT_EQ(Names(list), QStringList({"I2", "I1", "END"}));
    EXPECT_THROW(list.Insert(4, &stranger), EListError);
    EXPECT_THROW(list.GetItem(-1), EListError);
    EXPECT_EQ(ErrorOf([&] { list.GetItem(3); }), "List index out of bounds (3)");
    EXPECT_EQ(list.Add(new TBaseModelObject()), 3);
    EXPECT_THROW(list.FindByName("x"), EInvalidCast) << "only diagram objects have names to find";

    TCounted a("A");
    {
        TOSSelectedGraphics selection;
        selection.Add(&a);
        selection.Add(&stranger);
        selection.Remove(&a);
    }
    EXPECT_EQ(TCounted::Alive, 5) << "a list that does not own its items frees none";
    TOSColumnList columns;
    columns.Add(new TDiagramIndex());
    EXPECT_THROW(columns.GetColumn(0), EInvalidCast);
    TOSTableList tables;
    tables.Add(new TDiagramObjectTable());
    EXPECT_NO_THROW(tables.GetTable(0)) << "an object table is a table";
}

TEST_F(OSBaseList, MoveItemMovesOnePlaceWhateverTheStep)
{
    const auto items = Fill(5);
    const auto revision = list.Revision();
    list.MoveItem(items[0], -1);
    list.MoveItem(items[4], +1);
    list.MoveItem(items[2], 0);
    EXPECT_EQ(Names(list), QStringList({"I1", "I2", "I3", "I4", "I5"}));
    EXPECT_EQ(list.Revision(), revision) << "a move past either end is no change";
    list.MoveItem(items[0], +5);
    list.MoveItem(items[4], -3);
    EXPECT_EQ(Names(list), QStringList({"I2", "I1", "I3", "I5", "I4"}));
    EXPECT_TRUE(list.OwnsObjects()) << "clearing must still free every item";
}

TEST_F(OSBaseList, MoveToFirstAndLastSwapRatherThanShift)
{
    TCounted *third = Fill(5)[2];
    list.MoveToFirst(third);
    EXPECT_EQ(Names(list), QStringList({"I3", "I2", "I1", "I4", "I5"}));
    list.MoveToLast(third);
    list.ExchangeWith(third, 1);
    EXPECT_EQ(Names(list), QStringList({"I5", "I3", "I1", "I4", "I2"}));
    TCounted stranger("S");
    list.ExchangeWith(&stranger, 0);
    EXPECT_EQ(Names(list), QStringList({"I5", "I3", "I1", "I4", "I2"}));
    EXPECT_THROW(list.ExchangeWith(third, 9), EListError);
}

TEST_F(OSBaseList, AssignMakesIndependentCopiesOfTheSourceListsClass)
{
    auto source = std::make_unique<TOSTableList>();
    auto *emp = new TDiagramTable();
    emp->Name = "EMP";
    AddColumn(*emp, "ID");
    source->Add(emp);
    source->Add(new TDiagramObjectTable());

    TOSTableList copy;
    copy.Assign(*source);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_NE(copy.GetTable(0), emp);
    EXPECT_NE(copy.GetTable(0)->Columns.GetColumn(0), emp->Columns.GetColumn(0));
    EXPECT_EQ(dynamic_cast<TDiagramObjectTable *>(copy.GetTable(1)), nullptr) << "a table list copies tables";
    source.reset();
    EXPECT_EQ(copy.GetTable(0)->Name, "EMP");
    EXPECT_EQ(copy.GetTable(0)->Columns.GetColumn(0)->Name, "ID");

    // Assigning replaces (and frees) what was there.
    Fill(3);
    list.Assign(TOSBaseList(false));
    EXPECT_EQ(TCounted::Alive, 0);
}

TEST_F(OSBaseList, KeyListsAndOwnerLookUps)
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

// Look-ups by name and owner answer as a search from the front would, after
// every kind of change of the list or of a listed table's name.
TEST_F(OSBaseList, OwnerLookUpsFollowEveryChangeOfTheList)
{
    TDiagramObjectModel model;
    auto *first = AddTable(model, "HR", "DEPT");
    auto *second = AddTable(model, "HR", "DEPT");
    auto *emp = AddTable(model, "HR", "EMP");
    EXPECT_EQ(model.Tables.FindTable("DEPT", "HR"), first);
    EXPECT_EQ(model.Tables.FindTable("BONUS", "HR"), nullptr);
    const struct {
        const char *Change;
        std::function<void()> Apply;
        TDiagramTable *(*Expected)(TDiagramTable *, TDiagramTable *);
    } steps[] = {
        {"swap to the front", [&] { model.Tables.MoveToFirst(second); }, [](TDiagramTable *, TDiagramTable *s) { return s; }},
        {"move one back", [&] { model.Tables.MoveItem(second, 1); }, [](TDiagramTable *f, TDiagramTable *) { return f; }},
        {"taken out", [&] { model.Tables.Extract(first); }, [](TDiagramTable *, TDiagramTable *s) { return s; }},
        {"put back first", [&] { model.Tables.Insert(0, first); }, [](TDiagramTable *f, TDiagramTable *) { return f; }},
        {"removed", [&] { model.Tables.Remove(first); }, [](TDiagramTable *, TDiagramTable *s) { return s; }},
    };
    for (const auto &step : steps) {
        step.Apply();
        EXPECT_EQ(model.Tables.FindTable("DEPT", "HR"), step.Expected(first, second)) << step.Change;
    }
    // A table that takes another's name through Assign is found by its new
    // name and no longer by its old one.
    TDiagramTable source;
    source.Name = "BONUS";
    source.Owner = "SCOTT";
    emp->Assign(source);
    EXPECT_EQ(model.Tables.FindTable("BONUS", "SCOTT"), emp);
    EXPECT_EQ(model.Tables.FindTable("EMP", "HR"), nullptr);
    model.Tables.Clear();
    EXPECT_EQ(model.Tables.FindTable("DEPT", "HR"), nullptr);
}

} // namespace
