// The sample diagram shipped for new users, examples/hr_schema.xml, is written
// by this program: the test builds the human-resources page, measures its
// boxes and writes it with the diagram writer (MARROWTIDE_UPDATE_GOLDEN=1
// rewrites the file), and checks that the shipped file is exactly that page.
#include "diagram_xml_test_support.h"
#include "test_data.h"

#include <QFile>

namespace {

QString ExamplePath() { return testDataPath(QStringLiteral("../../examples/hr_schema.xml")); }

struct TColumnSpec {
    const char *Name;
    const char *Type;
    int Length;
    int Precision;
    int Scale;
    bool Nullable;
    const char *Comment;
};

TDiagramTable *AddHrTable(TDiagramObjectModel &model, const char *name, const char *comment,
                          std::initializer_list<TColumnSpec> columns)
{
    TDiagramTable *table = AddTable(model, "HR", name);
    table->Comment = QString::fromLatin1(comment);
    for (const TColumnSpec &c : columns) {
        TDiagramColumn *column = AddColumn(*table, c.Name, c.Type, c.Length, c.Precision, c.Scale, c.Nullable);
        column->Comment = QString::fromLatin1(c.Comment);
    }
    return table;
}

void AddCheck(TDiagramTable &table, const char *name, const char *condition)
{
    auto *check = new TDiagramCheckConstraint();
    check->Name = QString::fromLatin1(name);
    check->CheckText = QString::fromLatin1(condition);
    table.CheckConstraints.Add(check);
}

void AddIndex(TDiagramTable &table, const char *name, const QStringList &columns)
{
    auto *index = new TDiagramIndex();
    index->Name = QString::fromLatin1(name);
    index->Owner = table.Owner;
    index->IndexType = QStringLiteral("NORMAL");
    index->TableName = table.Name;
    index->TableOwner = table.Owner;
    index->Columns = columns;
    table.Indexes.Add(index);
}

void BuildHrSchema(TDiagramObjectModel &model)
{
    model.Name = QStringLiteral("Human Resources");
    model.Comment = QStringLiteral("Sample schema: regions, countries and locations of a company, its departments, "
                                   "jobs and employees, and the jobs employees held before.");
    model.Style.SetDefaultStyle();
    model.Owners << QStringLiteral("HR");

    TDiagramTable *regions = AddHrTable(model, "REGIONS", "Regions of the world in which the company works.",
                                        {{"REGION_ID", "NUMBER", 0, 0, 0, false, "Primary key of the region."},
                                         {"REGION_NAME", "VARCHAR2", 25, 0, 0, true, "Name of the region."}});
    AddPrimaryKey(*regions, "REG_ID_PK", {"REGION_ID"});

    TDiagramTable *countries = AddHrTable(
        model, "COUNTRIES", "Countries in which the company has locations.",
        {{"COUNTRY_ID", "CHAR", 2, 0, 0, false, "Two-letter ISO country code."},
         {"COUNTRY_NAME", "VARCHAR2", 40, 0, 0, true, "Name of the country."},
         {"REGION_ID", "NUMBER", 0, 0, 0, true, "Region the country belongs to."}});
    AddPrimaryKey(*countries, "COUNTRY_C_ID_PK", {"COUNTRY_ID"});
    AddForeignKey(*countries, "COUNTR_REG_FK", {"REGION_ID"}, "HR", "REGIONS", {"REGION_ID"});

    TDiagramTable *locations = AddHrTable(
        model, "LOCATIONS", "Offices, warehouses and production sites of the company.",
        {{"LOCATION_ID", "NUMBER", 0, 4, 0, false, "Primary key of the location."},
         {"STREET_ADDRESS", "VARCHAR2", 40, 0, 0, true, "Street and number of the site."},
         {"POSTAL_CODE", "VARCHAR2", 12, 0, 0, true, ""},
         {"CITY", "VARCHAR2", 30, 0, 0, false, ""},
         {"STATE_PROVINCE", "VARCHAR2", 25, 0, 0, true, "State or province, where the country has them."},
         {"COUNTRY_ID", "CHAR", 2, 0, 0, true, "Country of the location."}});
    AddPrimaryKey(*locations, "LOC_ID_PK", {"LOCATION_ID"});
    AddForeignKey(*locations, "LOC_C_ID_FK", {"COUNTRY_ID"}, "HR", "COUNTRIES", {"COUNTRY_ID"});
    AddIndex(*locations, "LOC_CITY_IX", {"CITY"});
    AddIndex(*locations, "LOC_COUNTRY_IX", {"COUNTRY_ID"});

    TDiagramTable *jobs = AddHrTable(model, "JOBS", "Job titles with the salary range of each.",
                                     {{"JOB_ID", "VARCHAR2", 10, 0, 0, false, "Primary key: a short job code."},
                                      {"JOB_TITLE", "VARCHAR2", 35, 0, 0, false, "Title of the job."},
                                      {"MIN_SALARY", "NUMBER", 0, 6, 0, true, "Lowest salary for the job."},
                                      {"MAX_SALARY", "NUMBER", 0, 6, 0, true, "Highest salary for the job."}});
    AddPrimaryKey(*jobs, "JOB_ID_PK", {"JOB_ID"});

    TDiagramTable *employees = AddHrTable(
        model, "EMPLOYEES", "Every employee, with the job, salary, manager and department.",
        {{"EMPLOYEE_ID", "NUMBER", 0, 6, 0, false, "Primary key of the employee."},
         {"FIRST_NAME", "VARCHAR2", 20, 0, 0, true, ""},
         {"LAST_NAME", "VARCHAR2", 25, 0, 0, false, ""},
         {"EMAIL", "VARCHAR2", 25, 0, 0, false, "E-mail address, unique in the company."},
         {"PHONE_NUMBER", "VARCHAR2", 20, 0, 0, true, ""},
         {"HIRE_DATE", "DATE", 0, 0, 0, false, "Date the employee started."},
         {"JOB_ID", "VARCHAR2", 10, 0, 0, false, "Current job of the employee."},
         {"SALARY", "NUMBER", 0, 8, 2, true, "Monthly salary."},
         {"COMMISSION_PCT", "NUMBER", 0, 2, 2, true, "Commission as a fraction of the salary (sales only)."},
         {"MANAGER_ID", "NUMBER", 0, 6, 0, true, "The employee's manager."},
         {"DEPARTMENT_ID", "NUMBER", 0, 4, 0, true, "Department the employee works in."}});
    employees->Columns.GetColumn(5)->DefaultValue = QStringLiteral("SYSDATE");
    AddPrimaryKey(*employees, "EMP_EMP_ID_PK", {"EMPLOYEE_ID"});
    AddUniqueKey(*employees, "EMP_EMAIL_UK", {"EMAIL"});
    AddForeignKey(*employees, "EMP_DEPT_FK", {"DEPARTMENT_ID"}, "HR", "DEPARTMENTS", {"DEPARTMENT_ID"});
    AddForeignKey(*employees, "EMP_JOB_FK", {"JOB_ID"}, "HR", "JOBS", {"JOB_ID"});
    AddForeignKey(*employees, "EMP_MANAGER_FK", {"MANAGER_ID"}, "HR", "EMPLOYEES", {"EMPLOYEE_ID"}, "SET NULL");
    AddCheck(*employees, "EMP_SALARY_MIN", "salary > 0");
    AddIndex(*employees, "EMP_DEPARTMENT_IX", {"DEPARTMENT_ID"});
    AddIndex(*employees, "EMP_NAME_IX", {"LAST_NAME", "FIRST_NAME"});

    TDiagramTable *departments = AddHrTable(
        model, "DEPARTMENTS", "Departments of the company, each at one location.",
        {{"DEPARTMENT_ID", "NUMBER", 0, 4, 0, false, "Primary key of the department."},
         {"DEPARTMENT_NAME", "VARCHAR2", 30, 0, 0, false, ""},
         {"MANAGER_ID", "NUMBER", 0, 6, 0, true, "Employee who manages the department."},
         {"LOCATION_ID", "NUMBER", 0, 4, 0, true, "Where the department is."}});
    AddPrimaryKey(*departments, "DEPT_ID_PK", {"DEPARTMENT_ID"});
    AddForeignKey(*departments, "DEPT_LOC_FK", {"LOCATION_ID"}, "HR", "LOCATIONS", {"LOCATION_ID"});
    AddForeignKey(*departments, "DEPT_MGR_FK", {"MANAGER_ID"}, "HR", "EMPLOYEES", {"EMPLOYEE_ID"}, "SET NULL");
    AddIndex(*departments, "DEPT_LOCATION_IX", {"LOCATION_ID"});

    TDiagramTable *history = AddHrTable(
        model, "JOB_HISTORY", "Jobs employees held before their current one.",
        {{"EMPLOYEE_ID", "NUMBER", 0, 6, 0, false, ""},
         {"START_DATE", "DATE", 0, 0, 0, false, "First day in the job."},
         {"END_DATE", "DATE", 0, 0, 0, false, "Last day in the job."},
         {"JOB_ID", "VARCHAR2", 10, 0, 0, false, ""},
         {"DEPARTMENT_ID", "NUMBER", 0, 4, 0, true, "Department of the job at the time."}});
    AddPrimaryKey(*history, "JHIST_EMP_ID_ST_DATE_PK", {"EMPLOYEE_ID", "START_DATE"});
    AddForeignKey(*history, "JHIST_EMP_FK", {"EMPLOYEE_ID"}, "HR", "EMPLOYEES", {"EMPLOYEE_ID"}, "CASCADE");
    AddForeignKey(*history, "JHIST_JOB_FK", {"JOB_ID"}, "HR", "JOBS", {"JOB_ID"});
    AddForeignKey(*history, "JHIST_DEPT_FK", {"DEPARTMENT_ID"}, "HR", "DEPARTMENTS", {"DEPARTMENT_ID"});
    AddCheck(*history, "JHIST_DATE_INTERVAL", "end_date > start_date");

    auto *note = new TDiagramNote();
    note->Name = QStringLiteral("About this diagram");
    note->Text = QStringLiteral("A sample human-resources schema to explore. Drag the boxes to rearrange "
                                "the page; the lines between them are the foreign keys.");
    note->Width = note->CalcWidth(nullptr);
    note->Height = note->CalcHeight(nullptr);
    model.Notes.Add(note);

    // Boxes take their measured size; three columns of boxes, the geography
    // on top, the people in the middle, the history and the note below.
    for (TDiagramTable *table : model.Tables) {
        table->Width = table->CalcWidth(nullptr);
        table->Height = table->CalcHeight(nullptr);
    }
    const std::vector<std::vector<TBaseDiagramRectangle *>> rows = {
        {regions, countries, locations}, {jobs, employees, departments}, {history, note}};
    int top = 20;
    for (const auto &row : rows) {
        int left = 20;
        int rowHeight = 0;
        for (TBaseDiagramRectangle *box : row) {
            box->Left = left;
            box->Top = top;
            left += std::max(box->Width, 220) + 80;
            rowHeight = std::max(rowHeight, box->Height);
        }
        top += rowHeight + 70;
    }
}

// The document without the measured sizes, which follow the fonts installed.
QByteArray WithoutSizes(const QByteArray &document)
{
    QByteArray kept;
    for (const QByteArray &line : document.split('\n')) {
        if (!line.contains("<property name=\"width\">") && !line.contains("<property name=\"height\">"))
            kept += line + '\n';
    }
    return kept;
}

using HrSchemaExample = DiagramFileTest;

TEST_F(HrSchemaExample, ShippedFileIsTheWritersPage)
{
    BuildHrSchema(*CurrentModel);
    if (qEnvironmentVariableIsSet("MARROWTIDE_UPDATE_GOLDEN")) {
        CurrentModel->FileName = ExamplePath();
        CurrentModel->SaveModelToFile(true);
    }
    QFile file(ExamplePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << ExamplePath().toStdString();
    const QByteArray shipped = file.readAll();
    EXPECT_EQ(WithoutSizes(shipped).toStdString(),
              WithoutSizes(FileBytes(CurrentModel->BuildDiagramXml(true))).toStdString());
}

TEST_F(HrSchemaExample, OpensWithSevenTablesAndWritesBackUnchanged)
{
    ASSERT_TRUE(CurrentModel->LoadModelFromFile(nullptr, false, ExamplePath()));
    QStringList names;
    for (const TDiagramTable *table : CurrentModel->Tables)
        names << table->Name;
    EXPECT_EQ(names, (QStringList{"REGIONS", "COUNTRIES", "LOCATIONS", "JOBS", "EMPLOYEES", "DEPARTMENTS",
                                  "JOB_HISTORY"}));
    EXPECT_EQ(CurrentModel->Notes.Count(), 1);
    // Every foreign key points at a table of the page, and no boxes overlap.
    for (const TDiagramTable *table : CurrentModel->Tables) {
        for (const TDiagramForeignKey *key : table->ForeignKeys)
            EXPECT_NE(CurrentModel->Tables.FindTable(key->RefTableName, key->RefTableOwner), nullptr);
        for (const TDiagramTable *other : CurrentModel->Tables) {
            if (other == table)
                continue;
            const bool apart = table->Left + table->Width <= other->Left || other->Left + other->Width <= table->Left
                               || table->Top + table->Height <= other->Top || other->Top + other->Height <= table->Top;
            EXPECT_TRUE(apart) << table->Name.toStdString() << " overlaps " << other->Name.toStdString();
        }
    }
    QFile file(ExamplePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(FileBytes(CurrentModel->BuildDiagramXml(true)), file.readAll());
}

} // namespace
