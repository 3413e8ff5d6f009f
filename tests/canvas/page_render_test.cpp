// A realistic page rendered as the screen and pictures show it.
#include "canvas_fixture.h"

#include "model/diagram_note.h"

namespace {

class PageRenderTest : public CanvasTest {
protected:
    void BuildHrPage()
    {
        auto *regions = AddTable(*model, "HR", "REGIONS", 20, 20, 180, 70);
        AddColumn(*regions, "REGION_ID", "NUMBER", 0, 10, 0, false);
        AddColumn(*regions, "REGION_NAME", "VARCHAR2", 25);
        AddPrimaryKey(*regions, "REG_ID_PK", {"REGION_ID"});

        auto *countries = AddTable(*model, "HR", "COUNTRIES", 320, 20, 200, 90);
        AddColumn(*countries, "COUNTRY_ID", "CHAR", 2, 0, 0, false);
        AddColumn(*countries, "COUNTRY_NAME", "VARCHAR2", 40);
        AddColumn(*countries, "REGION_ID", "NUMBER", 0, 10);
        AddPrimaryKey(*countries, "COUNTRY_C_ID_PK", {"COUNTRY_ID"});
        AddForeignKey(*countries, "COUNTR_REG_FK", {"REGION_ID"}, "HR", "REGIONS", {"REGION_ID"}, "CASCADE");

        auto *employees = AddTable(*model, "HR", "EMPLOYEES", 300, 200, 260, 150);
        AddColumn(*employees, "EMPLOYEE_ID", "NUMBER", 0, 6, 0, false)->Comment = "Primary key";
        AddColumn(*employees, "EMAIL", "VARCHAR2", 25, 0, 0, false);
        AddColumn(*employees, "MANAGER_ID", "NUMBER", 0, 6);
        AddColumn(*employees, "DEPARTMENT_ID", "NUMBER", 0, 4, 0, false);
        AddColumn(*employees, "COUNTRY_ID", "CHAR", 2);
        AddPrimaryKey(*employees, "EMP_EMP_ID_PK", {"EMPLOYEE_ID"});
        AddUniqueKey(*employees, "EMP_EMAIL_UK", {"EMAIL"});
        AddForeignKey(*employees, "EMP_MANAGER_FK", {"MANAGER_ID"}, "HR", "EMPLOYEES", {"EMPLOYEE_ID"});
        AddForeignKey(*employees, "EMP_DEPT_FK", {"DEPARTMENT_ID"}, "HR", "DEPARTMENTS", {"DEPARTMENT_ID"},
                      "SET NULL");
        AddForeignKey(*employees, "EMP_CTRY_FK", {"COUNTRY_ID"}, "HR", "COUNTRIES", {"COUNTRY_ID"});
        AddForeignKey(*employees, "EMP_CTRY2_FK", {"COUNTRY_ID"}, "HR", "COUNTRIES", {"COUNTRY_ID"});

        auto *departments = AddTable(*model, "HR", "DEPARTMENTS", 20, 220, 200, 80);
        AddColumn(*departments, "DEPARTMENT_ID", "NUMBER", 0, 4, 0, false);
        AddColumn(*departments, "DEPARTMENT_NAME", "VARCHAR2", 30, 0, 0, false);
        AddPrimaryKey(*departments, "DEPT_ID_PK", {"DEPARTMENT_ID"});

        auto *note = new TDiagramNote();
        note->Text = "Human resources\n\tsample page";
        note->Left = 600;
        note->Top = 30;
        note->Width = 150;
        note->Height = 60;
        model->Notes.Add(note);

        auto *type = new TDiagramType();
        type->Owner = "HR";
        type->Name = "ADDRESS_T";
        type->Left = 600;
        type->Top = 200;
        type->Width = 170;
        type->Height = 110;
        auto *street = new TDiagramAttribute();
        street->Name = "STREET";
        street->DataType = "VARCHAR2";
        street->DataLength = 40;
        type->Attributes.Add(street);
        auto *method = new TDiagramMethod();
        method->Name = "FORMAT";
        type->Methods.Add(method);
        model->Types.Add(type);
    }
};

TEST_F(PageRenderTest, RealisticPageShowsEveryBoxAndLink)
{
    BuildHrPage();
    model->Style.TwoToneHeader = true;
    diagram->Rebuild();
    SelectedGraphics->Add(model->Tables.GetTable(2));
    EXPECT_GE(surface->width(), 770 + 30 + 20);

    const QImage picture = RenderPage(820, 400);
    const QImage screen = GrabSurface();
    if (const QByteArray out = qgetenv("MARROWTIDE_CANVAS_PNG"); !out.isEmpty()) {
        picture.save(QString::fromLocal8Bit(out) + "-picture.png");
        screen.save(QString::fromLocal8Bit(out) + "-screen.png");
    }
    // Every box covers its place on the screen as in the picture: the selected
    // EMPLOYEES header outline is blue in both.
    EXPECT_EQ(At(picture, 300, 205), clBlue);
    EXPECT_EQ(At(screen, 300, 205), clBlue);
    // The surface beneath the boxes is the page's background.
    EXPECT_EQ(At(screen, 5, 395 - 100), model->Style.BackgroundColour);
}

} // namespace
