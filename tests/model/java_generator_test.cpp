// The Java DAO and bean generator: names, type mapping, the generated texts
// and where the files go.
#include "model/diagram_table.h"
#include "model/java_generator.h"
#include "model_builders.h"
#include "platform/config_settings.h"
#include "platform/shell.h"
#include "test_data.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray Bytes(const QString &text) { return text.toUtf8(); }

// SHOP.EMP as in the documented example.
void FillEmp(TDiagramTable &emp)
{
    emp.Owner = "SHOP";
    emp.Name = "EMP";
    AddColumn(emp, "EMPNO", "NUMBER", 0, 4, 0, false);
    AddColumn(emp, "ENAME", "VARCHAR2", 10);
    AddColumn(emp, "SAL", "NUMBER", 0, 7, 2);
    AddPrimaryKey(emp, "EMP_PK", {"EMPNO"});
}

TEST(JavaGenerator, NamesChangeTheCaseOfAsciiLettersOnly)
{
    const struct {
        const char *text;
        const char *javaName;
    } cases[] = {{"ORDER_LINES", "Order_lines"}, {"order_lines", "Order_lines"}, {"oRDER", "Order"},
                 {"1ST_TRY", "1st_try"}, {"X", "X"}, {"", ""}, {"ÉCOLE_ÄB", "École_Äb"}, {"éTÉ", "étÉ"}};
    for (const auto &c : cases)
        EXPECT_EQ(TJavaUtils::ToJavaName(QString::fromUtf8(c.text)), QString::fromUtf8(c.javaName)) << c.text;
    TDiagramColumn column;
    column.Name = "ORDER_ID";
    EXPECT_EQ(TJavaUtils::JavaFieldName(column), "order_id");
}

TEST(JavaGenerator, TypeMapping)
{
    const struct {
        const char *dataType;
        int scale;
        const char *javaType, *setter, *getter;
    } cases[] = {
        {"INT", 0, "int", "setInt", "getInt("},
        {"INTEGER", 3, "int", "setInt", "getInt("},
        {"VARCHAR", 0, "String", "setString", "getString("},
        {"VARCHAR2", 0, "String", "setString", "getString("},
        {"NUMBER", 2, "BigDecimal", "setBigDecimal", "getBigDecimal("},
        {"NUMBER", -2, "BigDecimal", "setBigDecimal", "getBigDecimal("},
        {"NUMBER", 0, "int", "setInt", "getInt("},
        {"DATE", 0, "Date", "setDate", "getDate("},
        {"CLOB", 0, "String", "setString", "getString("},
        {"number", 2, "String", "setString", "getString("},
        {"", 0, "String", "setString", "getString("},
    };
    for (const auto &c : cases) {
        TDiagramColumn column;
        column.DataType = c.dataType;
        column.DataScale = c.scale;
        EXPECT_EQ(TJavaUtils::JavaTypeOf(column), c.javaType) << c.dataType;
        EXPECT_EQ(TJavaUtils::JavaSetterOf(column), c.setter) << c.dataType;
        EXPECT_EQ(TJavaUtils::JavaGetterOf(column), c.getter) << c.dataType;
    }
}

TEST(JavaGenerator, DocumentedExample)
{
    TDiagramTable emp;
    FillEmp(emp);
    const QString dao = TJavaUtils::BuildJavaDao(emp);
    EXPECT_TRUE(dao.contains("    public Emp findEmp(int empno) throws SQLException\r\n"));
    expectGolden("java/emp_dao.java", Bytes(dao));
    expectGolden("java/emp_bean.java", Bytes(TJavaUtils::BuildJavaBean(emp)));
}

TEST(JavaGenerator, CompositeKeyEndingTheColumnList)
{
    // The key's order decides the parameters; the last column is a key column,
    // and a lower-case key name still marks its column as a key column.
    TDiagramTable lines;
    lines.Owner = "shop";
    lines.Name = "order_Lines";
    AddColumn(lines, "ORDER_ID", "INTEGER", 0, 0, 0, false);
    AddColumn(lines, "PRODUCT", "VARCHAR2", 30);
    AddColumn(lines, "SHIPPED", "DATE");
    AddColumn(lines, "QTY", "NUMBER", 0, 5);
    AddColumn(lines, "LINE_NO", "NUMBER", 0, 3, 0, false);
    AddPrimaryKey(lines, "LINES_PK", {"LINE_NO", "ORDER_ID"});
    AddPrimaryKey(lines, "LINES_PK2", {"qty"});
    expectGolden("java/order_lines_dao.java", Bytes(TJavaUtils::BuildJavaDao(lines)));
    expectGolden("java/order_lines_bean.java", Bytes(TJavaUtils::BuildJavaBean(lines)));
}

TEST(JavaGenerator, TableWithoutPrimaryKey)
{
    TDiagramTable log;
    log.Owner = "APP";
    log.Name = "AUDIT_LOG";
    AddColumn(log, "AT", "DATE");
    AddColumn(log, "TEXT", "VARCHAR2", 200);
    expectGolden("java/no_key_dao.java", Bytes(TJavaUtils::BuildJavaDao(log)));
}

TEST(JavaGenerator, TableOfKeyColumnsOnly)
{
    TDiagramTable link;
    link.Owner = "APP";
    link.Name = "USER_ROLES";
    AddColumn(link, "USER_ID", "NUMBER", 0, 10, 0, false);
    AddColumn(link, "ROLE_ID", "NUMBER", 0, 10, 0, false);
    AddPrimaryKey(link, "USER_ROLES_PK", {"USER_ID", "ROLE_ID"});
    expectGolden("java/key_only_dao.java", Bytes(TJavaUtils::BuildJavaDao(link)));
}

TEST(JavaGenerator, TableWithoutColumnsGetsAClosedConstructor)
{
    TDiagramTable empty;
    empty.Owner = "APP";
    empty.Name = "NOTHING";
    expectGolden("java/no_columns_bean.java", Bytes(TJavaUtils::BuildJavaBean(empty)));
    EXPECT_TRUE(TJavaUtils::BuildJavaDao(empty).contains("    public Nothing findNothing() throws SQLException"));
}

class JavaFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        TConfigSettings::SetProgramFolderOverride(folder.path());
        FillEmp(emp);
    }
    void TearDown() override { TConfigSettings::SetProgramFolderOverride({}); }
    static QByteArray Read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir folder;
    TScopedRecordingShell shell;
    TDiagramTable emp;
};

TEST_F(JavaFiles, GeneratedFilesAreSavedInTheProgramFolderAndOpened)
{
    const QString dao = folder.filePath("~dao.java");
    const QString bean = folder.filePath("~bean.java");
    EXPECT_EQ(QDir::cleanPath(TJavaUtils::DaoFileName()), QDir::cleanPath(dao));
    TJavaUtils::GenerateJavaDao(emp);
    TJavaUtils::GenerateJavaBean(emp);
    EXPECT_EQ(Read(dao), Bytes(TJavaUtils::BuildJavaDao(emp)));
    EXPECT_EQ(Read(bean), Bytes(TJavaUtils::BuildJavaBean(emp)));

    // A second run replaces the file.
    emp.Name = "STAFF";
    TJavaUtils::GenerateJavaBean(emp);
    EXPECT_TRUE(Read(bean).startsWith("/**\r\n *  Staff Bean\r\n"));
    ASSERT_EQ(shell.OpenedDocuments.size(), 3);
    EXPECT_EQ(QDir::cleanPath(shell.OpenedDocuments[0]), QDir::cleanPath(dao));
    EXPECT_EQ(QDir::cleanPath(shell.OpenedDocuments[2]), QDir::cleanPath(bean));
}

TEST_F(JavaFiles, FileThatCannotBeCreatedIsReportedAndNotOpened)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir("~dao.java"));
    try {
        TJavaUtils::GenerateJavaDao(emp);
        ADD_FAILURE() << "no error";
    } catch (const EFCreateError &e) {
        const QString prefix = QString("Cannot create file \"%1\". ").arg(TJavaUtils::DaoFileName());
        EXPECT_TRUE(e.Message().startsWith(prefix)) << e.what();
        EXPECT_GT(e.Message().size(), prefix.size()) << "the reason is missing";
    }
    EXPECT_TRUE(shell.OpenedDocuments.isEmpty());
}

TEST_F(JavaFiles, KeyColumnMissingFromTheTableIsAnError)
{
    emp.PrimaryKeys.GetPrimaryKey(0)->Columns = QStringList{"EMPNO", "GONE"};
    try {
        TJavaUtils::GenerateJavaDao(emp);
        ADD_FAILURE() << "no error";
    } catch (const EModelError &e) {
        EXPECT_EQ(e.Message(), "The primary key column \"GONE\" is not a column of table SHOP.EMP.");
    }
    EXPECT_FALSE(QFile::exists(folder.filePath("~dao.java")));
    EXPECT_TRUE(shell.OpenedDocuments.isEmpty());
    // The bean needs no key.
    TJavaUtils::GenerateJavaBean(emp);
    EXPECT_EQ(shell.OpenedDocuments.size(), 1);
}

} // namespace
