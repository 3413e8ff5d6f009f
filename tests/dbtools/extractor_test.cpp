// The schema extractor and the export and import window on the sample
// database, against golden files; Cancel and failures; their place on screen.
#include "dbtools/export_import_form.h"
#include "dbtools/extract_script.h"
#include "dbtools/extractor_form.h"
#include "modal_dialog.h"
#include "platform/config_settings.h"
#include "platform/fake_user_interface.h"
#include "sample_database.h"
#include "test_data.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QHash>
#include <QRegularExpression>
#include <QProgressBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class SessionToolsTest : public ::testing::Test {
protected:
    void SetUp() override { TConfigSettings::SetProgramFolderOverride(Temp.path()); }
    void TearDown() override { delete Form.data(); TConfigSettings::SetProgramFolderOverride({}); }

    void Check(const char *list, const QStringList &texts)
    {
        auto *items = Child<QListWidget>(*Form, list);
        for (int i = 0; i < items->count(); ++i)
            items->item(i)->setCheckState(texts.contains(items->item(i)->text()) ? Qt::Checked : Qt::Unchecked);
    }
    void Click(const char *button) { Child<QPushButton>(*Form, button)->click(); }
    // Lets the extractor work through its objects, as the event loop would.
    void RunToEnd(const TfrmExtractor &form) { while (form.IsRunning()) QCoreApplication::processEvents(); }
    QString Status() const { return Child<QLabel>(*Form, "lblStatus")->text(); }
    QString Shown() const { return Child<QPlainTextEdit>(*Form, "memOutput")->toPlainText(); }
    int Objects() const { return Child<QProgressBar>(*Form, "pbrProgress")->maximum(); }
    // The file's bytes, which the window also shows.
    QByteArray Written(const char *name) const
    {
        QFile file(Temp.filePath(name));
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)");
        EXPECT_EQ(Shown(), file.isOpen() ? QString::fromUtf8(bytes).remove('\r') : Shown());
        return bytes;
    }

    // The whole of the owner's script, every kind checked.
    QString ExtractAll(const QString &owner)
    {
        auto *form = qobject_cast<TfrmExtractor *>(Form.data());
        auto *owners = Child<QComboBox>(*Form, "cboOwner");
        owners->setCurrentIndex(owners->findText(owner));
        auto *kinds = Child<QListWidget>(*Form, "lvwKinds");
        for (int i = 0; i < kinds->count(); ++i)
            kinds->item(i)->setCheckState(Qt::Checked);
        Click("btnExtract");
        RunToEnd(*form);
        return QString::fromUtf8(Written("ddl_extract.txt"));
    }

    QTemporaryDir Temp;
    TScopedFakeUserInterface Ui;
    TSampleSessionScope Session{"shop"};
    QPointer<QWidget> Form;
};

} // namespace

TEST_F(SessionToolsTest, ExtractorWritesTheObjectsOfAnOwner)
{
    TfrmExtractor *form = TfrmExtractor::Create();
    Form = form;
    EXPECT_EQ(Child<QComboBox>(*form, "cboOwner")->currentText(), "SHOP");
    Click("btnExtract");
    RunToEnd(*form);
    EXPECT_EQ(Child<QProgressBar>(*form, "pbrProgress")->value(), Objects());
    expectGolden("ddl_extract_shop.txt", Written("ddl_extract.txt"));
    EXPECT_EQ(Status(), QStringLiteral("%1 object(s) written to %2.").arg(Objects()).arg(Temp.filePath("ddl_extract.txt")));

    // The other kinds the dictionary holds; program units have no DDL, and
    // the file names them, one failure each.
    Check("lvwKinds", {"Types", "Views", "Sequences", "Synonyms"});
    Click("btnExtract");
    RunToEnd(*form);
    expectGolden("ddl_extract_shop_others.txt", Written("ddl_extract.txt"));
    auto *owner = Child<QComboBox>(*form, "cboOwner");
    owner->setCurrentIndex(owner->findText("HR"));
    Check("lvwKinds", {"Procedures"});
    Click("btnExtract");
    RunToEnd(*form);
    ASSERT_EQ(Objects(), 2);
    EXPECT_EQ(Status(), QStringLiteral("%1 object(s) written to %2. %1 of them have no DDL; the file says why.")
                            .arg(Objects()).arg(Temp.filePath("ddl_extract.txt")));
    EXPECT_EQ(QString::fromUtf8(Written("ddl_extract.txt")).count("needs an Oracle server"), Objects());
    EXPECT_TRUE(Ui.Messages().isEmpty());
    QFile::remove(Temp.filePath("ddl_extract.txt"));

    // Cancel writes nothing.
    Check("lvwKinds", {"Tables", "Types"});
    Click("btnExtract");
    ASSERT_GT(Objects(), 2);
    QCoreApplication::processEvents(); // the first object goes to the worker
    Click("btnCancel");
    RunToEnd(*form);
    EXPECT_EQ(Status(), QStringLiteral("Cancelled after 1 of %1 object(s); nothing was written.").arg(Objects()));
    EXPECT_EQ(Written("ddl_extract.txt"), "(no file)");
    EXPECT_TRUE(Child<QPushButton>(*form, "btnExtract")->isEnabled());
    // Closing while an object is fetched waits for it and writes nothing.
    Click("btnExtract");
    QCoreApplication::processEvents();
    form->close();
    EXPECT_FALSE(form->IsRunning());
    EXPECT_EQ(Written("ddl_extract.txt"), "(no file)");
}

// The first statement of the script that names an object of the owner the
// script makes only further down ("" when there is none). A REF needs the
// type declared, anything else needs it made; views are made with FORCE.
QString FirstUsedBeforeMade(const QString &script, const QString &owner)
{
    static const QRegularExpression comment(R"(/\*.*?\*/|'(?:[^']|'')*')",
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression name(R"((REF\s+)?("[^"]+"|[A-Za-z][\w$#]*)(?:\.("[^"]+"|[A-Za-z][\w$#]*))?)");
    static const QRegularExpression create(
        R"(^CREATE\s+(?:OR\s+REPLACE\s+)?(?:FORCE\s+)?(?:UNIQUE\s+|BITMAP\s+)?)"
        R"((TYPE|TABLE|INDEX|VIEW|SEQUENCE|SYNONYM)\s+(\S+)\s*(\S?))");
    const auto key = [&owner](QString first, QString second) {
        first.remove('"');
        second.remove('"');
        return second.isEmpty() ? owner + '.' + first : first + '.' + second;
    };
    QStringList statements;
    for (const QString &text : QString(script).remove('\r').split(QRegularExpression("\n/\n")))
        statements << QString(text).remove(comment).trimmed();
    QHash<QString, qsizetype> declared, made; // where each object is first declared or made
    for (qsizetype i = statements.size() - 1; i >= 0; --i) {
        const auto m = create.match(statements[i]);
        if (!m.hasMatch())
            continue;
        const auto parts = name.match(m.captured(2));
        const QString object = key(parts.captured(2), parts.captured(3));
        declared[object] = i;
        if (!(m.captured(1) == "TYPE" && m.captured(3).isEmpty()))
            made[object] = i;
    }
    for (qsizetype i = 0; i < statements.size(); ++i) {
        const auto m = create.match(statements[i]);
        if (m.captured(1) == "VIEW")
            continue;
        const QString self = m.hasMatch() ? key(name.match(m.captured(2)).captured(2),
                                                name.match(m.captured(2)).captured(3))
                                          : QString();
        for (auto it = name.globalMatch(statements[i]); it.hasNext();) {
            const auto use = it.next();
            const QString used = key(use.captured(2), use.captured(3));
            const auto &where = use.captured(1).isEmpty() ? made : declared;
            if (used != self && where.value(used, -1) >= i)
                return statements[i].section('\n', 0, 0) + " uses " + used;
        }
    }
    return {};
}

// Each statement of the extracted scripts finds the objects it names made
// already: types in the order they use each other, tables after their types,
// foreign keys after every table.
TEST_F(SessionToolsTest, ExtractedScriptsRunFromTopToBottom)
{
    Form = TfrmExtractor::Create();
    for (const char *owner : {"HR", "CO", "SH", "SHOP"}) {
        const QString script = ExtractAll(owner);
        EXPECT_EQ(FirstUsedBeforeMade(script, owner).toStdString(), "") << owner;
        EXPECT_GT(script.count("\nALTER TABLE"), 0) << owner;
    }
    // A cycle of REFs is closed with a declaration; the checker itself tells a
    // declaration that comes too late.
    QTemporaryDir dir;
    DatabaseSession = OpenSampleSession(
        "shop", SampleCopy(dir, "INSERT INTO ALL_TYPES (OWNER, TYPE_NAME, TYPECODE) VALUES ('SHOP', 'A_DEPT_T', "
                                "'OBJECT'), ('SHOP', 'A_EMP_T', 'OBJECT');"
                                "INSERT INTO ALL_TYPE_ATTRS (OWNER, TYPE_NAME, ATTR_NAME, ATTR_TYPE_MOD, "
                                "ATTR_TYPE_OWNER, ATTR_TYPE_NAME, ATTR_NO, INHERITED) VALUES "
                                "('SHOP', 'A_DEPT_T', 'HEAD', 'REF', 'SHOP', 'A_EMP_T', 1, 'NO'),"
                                "('SHOP', 'A_DEPT_T', 'BOSS', NULL, 'SHOP', 'CUSTOMER_T', 2, 'NO'),"
                                "('SHOP', 'A_EMP_T', 'DEPT', 'REF', 'SHOP', 'A_DEPT_T', 1, 'NO');"));
    const QString script = ExtractAll("SHOP");
    EXPECT_EQ(FirstUsedBeforeMade(script, "SHOP").toStdString(), "");
    EXPECT_EQ(script.count("CREATE TYPE SHOP.A_EMP_T\n/\n"), 1);
    EXPECT_EQ(FirstUsedBeforeMade("CREATE TYPE SHOP.A_T AS OBJECT (B REF B_T)\n/\nCREATE TYPE SHOP.B_T\n/\n", "SHOP"),
              "CREATE TYPE SHOP.A_T AS OBJECT (B REF B_T) uses SHOP.B_T");
}

// Each type after those it holds by value or extends; a REF waits for its
// type when it can, and declares it ahead to close a cycle.
TEST(ExtractScriptOrder, TypesComeAfterTheTypesTheyUse)
{
    using TUse = TExtractScript::TTypeUse;
    const struct {
        QStringList Names;
        std::vector<TUse> Uses;
        QString Expected; // each type, with "<declared" where it declares one
    } cases[] = {
        {{"A", "B", "C"}, {{"A", "C"}, {"C", "B"}}, "B C A"},
        {{"A", "B"}, {{"A", "B", true}}, "B A"},
        {{"A", "B"}, {{"A", "B", true}, {"A", "B", true}, {"B", "A", true}}, "A<B B"},
        {{"A", "B", "C"}, {{"A", "B", true}, {"B", "A", true}, {"A", "C"}}, "C A<B B"},
        {{"A", "B", "C"}, {{"A", "C"}, {"B", "C", true}, {"C", "B", true}}, "B<C C A"},
        {{"A", "B", "C"}, {{"A", "C", true}, {"C", "A", true}, {"B", "C", true}}, "A<C B C"},
        {{"A", "B"}, {{"A", "A", true}, {"A", "X"}, {"Y", "B"}}, "A B"},
        {{"A", "B", "C"}, {{"B", "A", true}, {"C", "B", true}, {"A", "C", true}}, "A<C B C"},
    };
    for (const auto &c : cases) {
        QStringList order;
        for (const auto &type : TExtractScript::OrderTypes(c.Names, c.Uses))
            order << type.Name + (type.Declare.isEmpty() ? "" : "<" + type.Declare.join(','));
        EXPECT_EQ(order.join(' '), c.Expected);
    }
}

TEST_F(SessionToolsTest, CopyScriptOfHrTables)
{
    TfrmExportImport *form = TfrmExportImport::Create();
    Form = form;
    Click("btnGenerate");
    EXPECT_EQ(Ui.Messages(), QStringList{"Check the tables whose rows the script should copy."});
    EXPECT_EQ(Written("copy_data.txt"), "(no file)");

    // A table without rows is named in the script, not hidden (one whose rows
    // cannot be read is, below, with a table only the dictionary lists).
    Check("lvwTables", {"SHOP.CATEGORIES"});
    Click("btnGenerate");
    EXPECT_EQ(Ui.Messages().size(), 1);
    EXPECT_TRUE(Shown().contains("/*  SHOP.CATEGORIES: 0 row(s)  */")) << Shown().toStdString();

    auto *owner = Child<QComboBox>(*form, "cboOwner");
    owner->setCurrentIndex(owner->findText("HR"));
    Check("lvwTables", {"HR.DEPARTMENTS", "HR.JOB_HISTORY"});
    Click("btnGenerate");
    EXPECT_EQ(Ui.Messages().size(), 1);
    expectGolden("copy_data_hr.txt", Written("copy_data.txt"));
    EXPECT_EQ(Status(), "Copy script of 2 table(s) written to " + Temp.filePath("copy_data.txt") + ".");
}

// On a target with its foreign keys enabled, parents' rows must be in first.
TEST_F(SessionToolsTest, CopyScriptLoadsParentsFirst)
{
    Form = TfrmExportImport::Create();
    auto *owner = Child<QComboBox>(*Form, "cboOwner");
    owner->setCurrentIndex(owner->findText("HR"));
    Check("lvwTables", {"HR.COUNTRIES", "HR.DEPARTMENTS", "HR.EMPLOYEES", "HR.JOBS", "HR.JOB_HISTORY", "HR.LOCATIONS",
                        "HR.REGIONS"});
    Click("btnGenerate");
    QStringList heads;
    for (const QString &line : QString::fromUtf8(Written("copy_data.txt")).split("\r\n"))
        if (line.startsWith("/*"))
            heads << line.section(':', 0, 0).mid(4);
    EXPECT_EQ(heads, QStringList({"HR.JOBS", "HR.REGIONS", "HR.COUNTRIES", "HR.LOCATIONS",
                                  "HR.DEPARTMENTS, HR.EMPLOYEES reference each other", "HR.DEPARTMENTS",
                                  "HR.EMPLOYEES", "HR.JOB_HISTORY"}));
}

// Names and error texts holding "*/" cannot end a comment of the scripts early.
TEST_F(SessionToolsTest, CommentsCloseWhereTheyShould)
{
    QTemporaryDir dir;
    DatabaseSession = OpenSampleSession(
        "shop", SampleCopy(dir, "INSERT INTO ALL_TABLES (OWNER, TABLE_NAME) VALUES ('SHOP', 'A*/B');"
                                "INSERT INTO ALL_TAB_COLUMNS (OWNER, TABLE_NAME, COLUMN_NAME, DATA_TYPE, NULLABLE, "
                                "COLUMN_ID) VALUES ('SHOP', 'A*/B', 'ID', 'NUMBER', 'Y', 1);"
                                "INSERT INTO ALL_OBJECTS (OWNER, OBJECT_NAME, OBJECT_TYPE) VALUES ('SHOP', 'V*/X', 'VIEW');"));
    // The first comment line with more after its first "*/".
    const auto earlyEnd = [](const QByteArray &script) {
        for (const QString &line : QString::fromUtf8(script).split("\r\n"))
            if (line.startsWith("/*") && line.indexOf("*/") != line.size() - 2)
                return line;
        return QString();
    };
    auto *extractor = TfrmExtractor::Create();
    Form = extractor;
    Check("lvwKinds", {"Tables", "Views"});
    Click("btnExtract");
    RunToEnd(*extractor);
    const QByteArray extracted = Written("ddl_extract.txt");
    EXPECT_TRUE(extracted.contains("/*  SHOP.A* /B  */\r\nCREATE TABLE SHOP.\"A*/B\"\r\n"));
    EXPECT_TRUE(extracted.contains("/*  SHOP.V* /X  */\r\n/* "));
    EXPECT_EQ(earlyEnd(extracted), "");
    delete extractor;

    Form = TfrmExportImport::Create();
    Check("lvwTables", {"SHOP.A*/B"});
    Click("btnGenerate");
    const QByteArray copy = Written("copy_data.txt");
    EXPECT_TRUE(copy.startsWith("/*  SHOP.A* /B: not copied: ")) << copy.constData();
    EXPECT_EQ(earlyEnd(copy), "");
}

TEST_F(SessionToolsTest, ToolsSitAboveTheMainWindowOnlyAndNeedASession)
{
    QMainWindow main;
    main.show();
    for (QWidget *form : {static_cast<QWidget *>(TfrmExtractor::Create()), static_cast<QWidget *>(TfrmExportImport::Create())}) {
        EXPECT_EQ(form->parentWidget(), &main);
        EXPECT_EQ(form->windowType(), Qt::Tool);
        EXPECT_FALSE(form->windowFlags() & Qt::WindowStaysOnTopHint);
        delete form;
    }
    DatabaseSession->Disconnect();
    EXPECT_THROW(TfrmExtractor::Create(), ENotConnected);
    EXPECT_THROW(TfrmExportImport::Create(), ENotConnected);
}
