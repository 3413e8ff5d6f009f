// The Java DAO and bean generator: names, type mapping, the generated texts
// and where the files go.
#include "ddl_test_support.h"
#include "model/java_generator.h"
#include "platform/config_settings.h"
#include "platform/shell.h"
#include "test_data.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// SHOP.EMP as in the documented example.
std::unique_ptr<TDiagramTable> Emp()
{
    auto emp = NewTable("SHOP", "EMP", {"EMPNO NUMBER(4) NOT NULL", "ENAME VARCHAR2(10)", "SAL NUMBER(7,2)"});
    AddPrimaryKey(*emp, "EMP_PK", {"EMPNO"});
    return emp;
}

TEST(JavaGenerator, NamesAndTypes)
{
    TDiagramColumn column;
    column.Name = "ORDER_ID";
    EXPECT_EQ(TJavaUtils::JavaFieldName(column), "order_id");
    for (const QStringList &c : readTestTable("model/java_names.txt")) {
        SCOPED_TRACE(c.join(' ').toStdString());
        if (c[0] == "name" || c[0] == "ident") {
            EXPECT_EQ(c[0] == "name" ? TJavaUtils::ToJavaName(c[1]) : TJavaUtils::JavaIdentifier(c[1]), c[2]);
            continue;
        }
        column.DataType = c[1];
        column.DataScale = c[2].toInt();
        EXPECT_EQ(TJavaUtils::JavaTypeOf(column), c[3]);
        EXPECT_EQ(TJavaUtils::JavaSetterOf(column), "set" + c[4]);
        EXPECT_EQ(TJavaUtils::JavaGetterOf(column), "get" + c[4] + "(");
    }
}

TEST(JavaGenerator, GeneratedTexts)
{
    // The documented example.
    const auto emp = Emp();
    expectGolden("java/emp_dao.java", Bytes(TJavaUtils::BuildJavaDao(*emp)));
    expectGolden("java/emp_bean.java", Bytes(TJavaUtils::BuildJavaBean(*emp)));

    // The key's order decides the parameters; the last column is a key column,
    // and a lower-case name in another primary key still marks its column.
    const auto lines = NewTable("shop", "order_Lines", {"ORDER_ID INTEGER NOT NULL", "PRODUCT VARCHAR2(30)",
                                                        "SHIPPED DATE", "QTY NUMBER(5)", "LINE_NO NUMBER(3) NOT NULL"});
    AddPrimaryKey(*lines, "LINES_PK", {"LINE_NO", "ORDER_ID"});
    AddPrimaryKey(*lines, "LINES_PK2", {"qty"});
    expectGolden("java/order_lines_dao.java", Bytes(TJavaUtils::BuildJavaDao(*lines)));
    expectGolden("java/order_lines_bean.java", Bytes(TJavaUtils::BuildJavaBean(*lines)));

    // Without a primary key the key pieces are empty.
    const auto log = NewTable("APP", "AUDIT_LOG", {"AT DATE", "TEXT VARCHAR2(200)"});
    expectGolden("java/no_key_dao.java", Bytes(TJavaUtils::BuildJavaDao(*log)));

    // With key columns only the select and set pieces are empty.
    const auto link = NewTable("APP", "USER_ROLES", {"USER_ID NUMBER(10) NOT NULL", "ROLE_ID NUMBER(10) NOT NULL"});
    AddPrimaryKey(*link, "USER_ROLES_PK", {"USER_ID", "ROLE_ID"});
    expectGolden("java/key_only_dao.java", Bytes(TJavaUtils::BuildJavaDao(*link)));

    // Names that are no Java names become Java names; the SQL quotes the names
    // that need it, inside Java string literals.
    const auto oneil = NewTable("HR", "O'NEIL", {"ID NUMBER(6) NOT NULL", "CLASS VARCHAR2(10)", "AMOUNT NUMBER(8,2)"});
    AddColumn(*oneil, "region name", "VARCHAR2", 30, 0, 0, false);
    AddColumn(*oneil, "2ND \"X\"\\Y", "DATE");
    AddColumn(*oneil, "TAB\tÉTÉ", "VARCHAR2", 5);
    AddPrimaryKey(*oneil, "ONEIL_PK", {"ID", "region name"});
    expectGolden("java/hostile_names_dao.java", Bytes(TJavaUtils::BuildJavaDao(*oneil)));
    expectGolden("java/hostile_names_bean.java", Bytes(TJavaUtils::BuildJavaBean(*oneil)));

    // Without columns the bean's constructor is still closed.
    expectGolden("java/no_columns_bean.java", Bytes(TJavaUtils::BuildJavaBean(*NewTable("APP", "NOTHING"))));
    EXPECT_TRUE(TJavaUtils::BuildJavaDao(*NewTable("APP", "NOTHING")).contains("    public Nothing findNothing() throws SQLException"));
}

QByteArray Read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(JavaGenerator, FilesInTheProgramFolder)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    TConfigSettings::SetProgramFolderOverride(folder.path());
    const struct TRestore {
        ~TRestore() { TConfigSettings::SetProgramFolderOverride({}); }
    } restore;
    TScopedRecordingShell shell;
    const auto emp = Emp();
    const QString dao = folder.filePath("~dao.java"), bean = folder.filePath("~bean.java");
    EXPECT_EQ(QDir::cleanPath(TJavaUtils::DaoFileName()), QDir::cleanPath(dao));

    // A file that cannot be created: the message names it and gives the reason; nothing opens.
    ASSERT_TRUE(QDir(folder.path()).mkdir("~dao.java"));
    const QString message = ErrorOf<EFCreateError>([&] { TJavaUtils::GenerateJavaDao(*emp); });
    const QString prefix = QString("Cannot create file \"%1\". ").arg(TJavaUtils::DaoFileName());
    EXPECT_TRUE(message.startsWith(prefix)) << message.toStdString();
    EXPECT_GT(message.size(), prefix.size()) << "the reason is missing";
    EXPECT_TRUE(shell.OpenedDocuments.isEmpty());
    ASSERT_TRUE(QDir(folder.path()).rmdir("~dao.java"));

    TJavaUtils::GenerateJavaDao(*emp);
    TJavaUtils::GenerateJavaBean(*emp);
    EXPECT_EQ(Read(dao), Bytes(TJavaUtils::BuildJavaDao(*emp)));
    EXPECT_EQ(Read(bean), Bytes(TJavaUtils::BuildJavaBean(*emp)));
    // A second run replaces the file.
    emp->Name = "STAFF";
    TJavaUtils::GenerateJavaBean(*emp);
    EXPECT_TRUE(Read(bean).startsWith("/**\r\n *  Staff Bean\r\n"));
    ASSERT_EQ(shell.OpenedDocuments.size(), 3);
    EXPECT_EQ(QDir::cleanPath(shell.OpenedDocuments[0]), QDir::cleanPath(dao));
    EXPECT_EQ(QDir::cleanPath(shell.OpenedDocuments[2]), QDir::cleanPath(bean));

    // A key column that is not a column of the table has no type to map: the
    // old file stays, and the bean, which needs no key, is still written.
    emp->PrimaryKeys.GetPrimaryKey(0)->Columns = QStringList{"EMPNO", "GONE"};
    EXPECT_EQ(ErrorOf<EModelError>([&] { TJavaUtils::GenerateJavaDao(*emp); }),
              "The primary key column \"GONE\" is not a column of table SHOP.STAFF.");
    EXPECT_TRUE(Read(dao).contains("class EmpDAO"));
    TJavaUtils::GenerateJavaBean(*emp);
    EXPECT_EQ(shell.OpenedDocuments.size(), 4);
}

} // namespace
