// Box sizes, column order, link ranks and link captions.
#include "model/diagram_type.h"
#include "model/model_hooks.h"
#include "model_builders.h"
#include "platform/canvas.h"
#include "test_data.h"

#include <gtest/gtest.h>

namespace {

class BoxMeasuring : public ::testing::Test {
protected:
    // Width of a text in the body font in italics, as the boxes measure it.
    static int Italic(const QString &text)
    {
        TFont font(CurrentModel->Style.FontName, CurrentModel->Style.FontSize);
        font.Style = fsItalic;
        return font.TextWidth(text);
    }
    static int LineHeight() { return TCanvas().TextHeight("A") + 2; }

    TModelGlobalsGuard globals;
    TCanvas canvas;
};

TEST_F(BoxMeasuring, TableWithoutShownColumnsIsTitleWideAndOneLineHigh)
{
    TDiagramTable table;
    table.Name = "EMP";
    EXPECT_EQ(table.CalcWidth(&canvas), Italic("EMP") + 92);
    EXPECT_EQ(table.CalcHeight(&canvas), LineHeight() + 2);
    EXPECT_EQ(TDiagramObjectTable().CalcHeight(&canvas), 2 * LineHeight() + 2);

    AddColumn(table, "SOME_QUITE_LONG_COLUMN_NAME_HERE", "VARCHAR2", 200);
    table.ShowOnlyKeyColumns = true;
    EXPECT_EQ(table.CalcHeight(&canvas), LineHeight() + 2);
    EXPECT_EQ(table.CalcWidth(&canvas), Italic("EMP") + 92);
    AddPrimaryKey(table, "PK", {"some_quite_long_column_name_here"});
    EXPECT_EQ(table.CalcHeight(&canvas), 2 * LineHeight() + 2);
}

TEST_F(BoxMeasuring, WidestNameAndTypeMayComeFromDifferentColumns)
{
    TDiagramTable table;
    table.Name = "T";
    AddColumn(table, "X", "VARCHAR2", 30);
    EXPECT_EQ(table.CalcWidth(&canvas), std::max(Italic("T") + 80, Italic("X") + 24 + Italic("VARCHAR2(30)")) + 12)
        << "a nullable column adds only its type";
    AddColumn(table, "A_VERY_LONG_COLUMN_NAME", "DATE");
    AddColumn(table, "B", "VARCHAR2", 4000, 0, 0, false);
    const int names = Italic("A_VERY_LONG_COLUMN_NAME") + 24;
    const int types = Italic("VARCHAR2(4000)") + Italic("  NOT NULL");
    EXPECT_EQ(table.CalcWidth(&canvas), std::max(Italic("T") + 80, names + types) + 12);
    EXPECT_EQ(table.CalcHeight(&canvas), 4 * LineHeight() + 2);
    table.HideDataTypes = true;
    EXPECT_EQ(table.CalcWidth(&canvas), std::max(Italic("T") + 80, names) + 12);

    // The canvas keeps its own font.
    canvas.Font = TFont("Courier New", 20, 0x123456, fsBold);
    table.CalcWidth(&canvas);
    EXPECT_EQ(canvas.Font.Name, "Courier New");
    EXPECT_EQ(canvas.Font.Size, 20);
    EXPECT_EQ(canvas.Font.Style, TFontStyles(fsBold));
}

TEST_F(BoxMeasuring, TypesAndNotes)
{
    TDiagramType type;
    type.Name = "T";
    EXPECT_EQ(type.CalcWidth(&canvas), Italic("T") + 28);
    auto *attribute = new TDiagramAttribute();
    attribute->Name = "STREET_ADDRESS_LINE";
    attribute->DataType = "VARCHAR2";
    attribute->DataLength = 200;
    type.Attributes.Add(attribute);
    type.Attributes.Add(new TDiagramAttribute());
    EXPECT_EQ(type.CalcWidth(&canvas), Italic("STREET_ADDRESS_LINE") + 20 + Italic("VARCHAR2(200)") + 12);
    auto *method = new TDiagramMethod();
    method->Name = QString(60, QLatin1Char('M'));
    type.Methods.Add(method);
    EXPECT_EQ(type.CalcWidth(&canvas), Italic(method->Name + "()") + 12);
    // Font sizes in points taken as pixels: 3 x (8 + 6) + (10 + 14) x 2 + 2.
    CurrentModel->Style.HeaderFontSize = 10;
    EXPECT_EQ(type.CalcHeight(&canvas), 92);

    TDiagramNote note;
    note.Text = QString(5000, QLatin1Char('x'));
    EXPECT_EQ(QSize(note.CalcWidth(nullptr), note.CalcHeight(nullptr)), QSize(200, 100));
}

// The drawing surface decides line heights when one is installed.
TEST_F(BoxMeasuring, LineHeightComesFromTheSurfaceFont)
{
    struct TBigSurface : IDiagramSurface {
        TCanvas *SurfaceCanvas() override { return &Canvas; }
        void EnsureSurfaceSize(int, int) override {}
        TCanvas Canvas;
    } surface;
    surface.Canvas.Font.Size = 30;
    TModelHooks::Surface = &surface;
    TDiagramTable table;
    AddColumn(table, "ID");
    const int height = table.CalcHeight(&canvas);
    TModelHooks::Surface = nullptr;
    EXPECT_EQ(height, 2 * (surface.Canvas.TextHeight("A") + 2) + 2);
    EXPECT_GT(height, table.CalcHeight(&canvas));
}

// Column order ------------------------------------------------------------------

QStringList ColumnNames(const TDiagramTable &table)
{
    QStringList names;
    for (TDiagramColumn *column : table.Columns)
        names << column->Name;
    return names;
}

TEST(ColumnSort, OrdersTheColumnsByEachMethod)
{
    const std::pair<int, QStringList> cases[] = {
        // Sequence 10 after 4: creation order compares zero-padded numbers.
        {csmCreation, {"ID", "DEPT_ID", "code", "REGION", "NAME"}},
        {csmAlpha, {"code", "DEPT_ID", "ID", "NAME", "REGION"}},
        // A column in a unique and a foreign key counts as unique.
        {csmKeys, {"ID", "code", "REGION", "DEPT_ID", "NAME"}},
        {7, {"ID", "DEPT_ID", "code", "REGION", "NAME"}},
    };
    for (const auto &[method, expected] : cases) {
        TDiagramTable table;
        const QStringList names{"NAME", "DEPT_ID", "code", "ID", "REGION"};
        const int sequences[] = {10, 2, 3, 1, 4};
        for (int i = 0; i < 5; ++i)
            AddColumn(table, names[i])->Sequence = sequences[i];
        AddPrimaryKey(table, "PK", {"ID"});
        AddUniqueKey(table, "UK", {"CODE", "REGION"});
        AddForeignKey(table, "FK", {"DEPT_ID", "REGION"}, "HR", "DEPT", {"ID", "REGION"});
        table.Columns.SortColumns(method, &table);
        EXPECT_EQ(ColumnNames(table), expected) << method;
        EXPECT_EQ(table.ColumnSortMethod, method);
        EXPECT_TRUE(table.Columns.OwnsObjects());
    }
}

TEST(ColumnSort, OnlyTheFirstPrimaryKeyAndATableMakeGroups)
{
    TDiagramTable table;
    AddColumn(table, "B");
    AddColumn(table, "A");
    AddPrimaryKey(table, "PK1", {"B"});
    AddPrimaryKey(table, "PK2", {"A"});
    table.Columns.SortColumns(csmKeys, &table);
    EXPECT_EQ(ColumnNames(table), QStringList({"B", "A"}));
    table.Columns.SortColumns(csmKeys, nullptr);
    EXPECT_EQ(ColumnNames(table), QStringList({"A", "B"})) << "without a table all columns are in one group";
}

TEST(ColumnSort, EqualKeysKeepTheirOrder)
{
    TDiagramTable table;
    for (const char *name : {"X", "x", "Y", "X"})
        AddColumn(table, name)->Sequence = 5;
    const std::vector<TDiagramColumn *> before(table.Columns.begin(), table.Columns.end());
    table.Columns.SortColumns(csmCreation, &table);
    EXPECT_EQ(std::vector<TDiagramColumn *>(table.Columns.begin(), table.Columns.end()), before);
    table.Columns.SortColumns(csmAlpha, &table);
    const std::vector<TDiagramColumn *> alpha{before[0], before[1], before[3], before[2]};
    EXPECT_EQ(std::vector<TDiagramColumn *>(table.Columns.begin(), table.Columns.end()), alpha);
}

// Columns already in ascending sequence stay; negative numbers sort by their
// ten-digit text, in which -1 comes before -2.
TEST(ColumnSort, CreationOrderOfColumnsInSequenceAndOfNegativeNumbers)
{
    const std::pair<std::vector<int>, QStringList> cases[] = {
        {{0, 3, 3, 7}, {"A", "B", "C", "D"}},
        {{-2, -1, 3, 4}, {"B", "A", "C", "D"}},
        {{1, 2, -1, 5}, {"C", "A", "B", "D"}},
    };
    for (const auto &[sequences, expected] : cases) {
        TDiagramTable table;
        for (int i = 0; i < 4; ++i)
            AddColumn(table, QString(QChar(u'A' + i)))->Sequence = sequences[size_t(i)];
        table.ColumnSortMethod = csmAlpha;
        table.Columns.SortColumns(csmCreation, &table);
        EXPECT_EQ(ColumnNames(table), expected) << expected.join(',').toStdString();
        EXPECT_EQ(table.ColumnSortMethod, csmCreation);
    }
}

// Link ranks and captions --------------------------------------------------------

TEST(LinkPaths, ParallelKeysGetIncreasingRanksAndRemoveTakesTheLastMatch)
{
    TDiagramTable emp;
    auto *first = AddForeignKey(emp, "FK1", {"DEPT_ID"}, "HR", "DEPT", {"ID"});
    auto *second = AddForeignKey(emp, "FK2", {"DEPT2_ID"}, "HR", "DEPT", {"ID"});
    auto *other = AddForeignKey(emp, "FK3", {"MGR_ID"}, "HR", "EMP", {"ID"});
    EXPECT_EQ(emp.RankLinkPath(*first), 1);
    EXPECT_EQ(emp.RankLinkPath(*second), 2);
    EXPECT_EQ(emp.RankLinkPath(*other), 1);
    EXPECT_EQ(emp.RankLinkPath(*first), 1) << "drawing a key again keeps its rank";
    EXPECT_EQ(emp.RankLinkPath(*second), 2);
    EXPECT_EQ(emp.LinkPaths.size(), 3u);

    // Removing takes the last match only, by exact name.
    TDiagramTable dept;
    dept.AddLinkPath("DEPT", "HR", 1, "FK");
    dept.AddLinkPath("DEPT", "HR", 2, "FK");
    dept.RemoveLinkPath("FK");
    ASSERT_EQ(dept.LinkPaths.size(), 1u);
    EXPECT_EQ(dept.LinkPaths[0]->Rank, 1);
    dept.RemoveLinkPath("fk");
    EXPECT_EQ(dept.LinkPaths.size(), 1u);
    EXPECT_TRUE(dept.HasLinkPath("DEPT", "HR", 1, "OTHER"));
    EXPECT_FALSE(dept.HasLinkPath("DEPT", "HR", 1, "FK"));
    EXPECT_FALSE(dept.HasLinkPath("dept", "HR", 1, "OTHER"));
}

TEST(LinkCaption, FollowsTheStyleSwitches)
{
    TModelGlobalsGuard globals;
    TDiagramTable emp;
    emp.Owner = "HR";
    emp.Name = "EMP";
    auto *key = AddForeignKey(emp, "EMP_DEPT_FK", {"DEPT_ID", "LOC ID"}, "SCOTT", "DEPT", {"ID", "LOC"});
    TOSSchemaStyle &style = CurrentModel->Style;
    for (const QStringList &c : readCases("model/link_captions.txt")) {
        const QList<int> on = caseInts(c[0]);
        style.ShowLinkName = on[0];
        style.ShowLinkTableName = on[1];
        style.ShowOwnerInTitle = on[2];
        style.ShowLinkColumns = on[3];
        EXPECT_EQ(key->GetLinkCaption(), c.value(1)) << c[0].toStdString();
    }
}

} // namespace
