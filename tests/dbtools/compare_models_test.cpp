// The compare-models wizard: two pages, or a page and a diagram file, give
// the delta script, or the line that says there is nothing to change.
#include "dbtools/compare_models_wizard.h"
#include "dbtools/sql_query_form.h"
#include "model_builders.h"
#include "platform/fake_user_interface.h"
#include "test_data.h"
#include "modal_dialog.h"

#include <QComboBox>
#include <QPointer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The texts of the SQL editor windows that opened, which are then closed.
QStringList TakeSqlWindows()
{
    QList<QPointer<TfrmSQLQuery>> forms;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *form = qobject_cast<TfrmSQLQuery *>(widget))
            forms << form;
    QStringList texts;
    for (const QPointer<TfrmSQLQuery> &form : forms) {
        EXPECT_TRUE(form->ScriptMode());
        texts << form->SQLText();
        delete form.data();
    }
    return texts;
}

class CompareModelsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Original = CurrentModel;
        Original->Name = "Shop v1";
        auto target = std::make_unique<TDiagramObjectModel>();
        Target = target.get();
        Target->Name = "Shop v2";
        OpenModels->push_back(std::move(target));
        for (TDiagramObjectModel *model : {Original, Target}) {
            TDiagramTable *emp = AddTable(*model, "SHOP", "EMP");
            AddColumn(*emp, "EMPNO", "NUMBER", 0, 4, 0, false);
            AddColumn(*emp, "ENAME", "VARCHAR2", 10);
        }
    }

    TModelGlobalsGuard Globals;
    TScopedFakeUserInterface Ui;
    TDiagramObjectModel *Original = nullptr;
    TDiagramObjectModel *Target = nullptr;
};

} // namespace

TEST_F(CompareModelsTest, EqualModelsHaveNoDifferences)
{
    EXPECT_EQ(TfrmCompareModelsWizard::BuildComparison(*Original, *Target), "/* no differences found */");
    TfrmCompareModelsWizard wizard;
    EXPECT_EQ(Child<QComboBox>(wizard, "cboOriginal")->currentIndex(), 0);
    EXPECT_EQ(Child<QComboBox>(wizard, "cboTarget")->currentIndex(), 1);
    EXPECT_FALSE(Child<QLineEdit>(wizard, "edtTargetFile")->isEnabled());
    Child<QPushButton>(wizard, "btnOK")->click();
    EXPECT_EQ(wizard.result(), QDialog::Accepted);
    EXPECT_EQ(TakeSqlWindows(), QStringList{"/* no differences found */"});
}

TEST_F(CompareModelsTest, AColumnThatDiffersGivesItsDelta)
{
    Target->Tables.GetTable(0)->Columns.GetColumn(1)->DataLength = 40;
    AddColumn(*Target->Tables.GetTable(0), "HIREDATE", "DATE");
    TfrmCompareModelsWizard wizard;
    Child<QPushButton>(wizard, "btnOK")->click();
    const QStringList shown = TakeSqlWindows();
    ASSERT_EQ(shown.size(), 1);
    expectGolden("ddl/compare_models.sql", wizard.Script().toUtf8());
    EXPECT_EQ(shown[0], QString(wizard.Script()).remove(QLatin1Char('\r')));

    // Swapped, the same difference reads the other way.
    TfrmCompareModelsWizard swapped;
    Child<QComboBox>(swapped, "cboOriginal")->setCurrentIndex(1);
    Child<QComboBox>(swapped, "cboTarget")->setCurrentIndex(0);
    Child<QPushButton>(swapped, "btnOK")->click();
    EXPECT_TRUE(swapped.Script().contains("ALTER TABLE SHOP.EMP DROP COLUMN HIREDATE"));
    EXPECT_TRUE(swapped.Script().contains("MODIFY (ENAME VARCHAR2(10))"));
    EXPECT_EQ(TakeSqlWindows().size(), 1);
}

TEST_F(CompareModelsTest, TargetFromADiagramFile)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath("target.xml");
    Target->Tables.GetTable(0)->Comment = "Staff";
    Target->FileName = fileName;
    Target->SaveModelToFile(true);

    TfrmCompareModelsWizard wizard;
    auto *target = Child<QComboBox>(wizard, "cboTarget");
    target->setCurrentIndex(target->count() - 1);
    EXPECT_TRUE(Child<QLineEdit>(wizard, "edtTargetFile")->isEnabled());

    // A missing file is said and the wizard stays open.
    Child<QLineEdit>(wizard, "edtTargetFile")->setText(dir.filePath("missing.xml"));
    Child<QPushButton>(wizard, "btnOK")->click();
    EXPECT_EQ(Ui.Messages(), QStringList{"File not found: " + dir.filePath("missing.xml")});
    EXPECT_NE(wizard.result(), QDialog::Accepted);
    EXPECT_TRUE(TakeSqlWindows().isEmpty());

    Ui.QueueAnswer(TUserInterfaceAnswer::Path(fileName));
    Child<QPushButton>(wizard, "btnBrowse")->click();
    Child<QPushButton>(wizard, "btnOK")->click();
    EXPECT_EQ(wizard.result(), QDialog::Accepted);
    EXPECT_TRUE(wizard.Script().contains(" *  Target Model is Shop v2\r\n"));
    EXPECT_TRUE(wizard.Script().contains("COMMENT ON TABLE SHOP.EMP IS 'Staff'"));
    EXPECT_EQ(OpenModels->size(), 2u);
    EXPECT_EQ(TakeSqlWindows().size(), 1);
}
