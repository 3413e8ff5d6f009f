// The compare-models wizard: two pages, or a page and a diagram file, give
// the delta script, or the line that says there is nothing to change.
#include "dbtools/compare_models_wizard.h"
#include "dbtools/sql_query_form.h"
#include "model_builders.h"
#include "platform/fake_user_interface.h"
#include "test_data.h"
#include "modal_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class CompareModelsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CurrentModel->Name = "Shop v1";
        OpenModels->push_back(std::make_unique<TDiagramObjectModel>());
        Target = OpenModels->back().get();
        Target->Name = "Shop v2";
        for (TDiagramObjectModel *model : {CurrentModel, Target}) {
            TDiagramTable *emp = AddTable(*model, "SHOP", "EMP");
            AddColumn(*emp, "EMPNO", "NUMBER", 0, 4, 0, false);
            AddColumn(*emp, "ENAME", "VARCHAR2", 10);
        }
    }

    // Runs a wizard with the given choices; the texts of the SQL editor
    // windows that opened (script mode), which are then closed.
    QStringList Compare(int original, int target, const QString &file = {})
    {
        TfrmCompareModelsWizard wizard;
        Child<QComboBox>(wizard, "cboOriginal")->setCurrentIndex(original);
        Child<QComboBox>(wizard, "cboTarget")->setCurrentIndex(target);
        Child<QLineEdit>(wizard, "edtTargetFile")->setText(file);
        Child<QPushButton>(wizard, "btnOK")->click();
        Script = wizard.Script();
        EXPECT_EQ(wizard.result() == QDialog::Accepted, !Script.isEmpty());
        QStringList texts;
        QList<QPointer<QWidget>> windows;
        for (QWidget *widget : QApplication::topLevelWidgets())
            windows << widget;
        for (QPointer<QWidget> &widget : windows) {
            if (auto *form = qobject_cast<TfrmSQLQuery *>(widget.data())) {
                EXPECT_TRUE(form->ScriptMode());
                texts << form->SQLText();
                delete form; // and the windows it owns
            }
        }
        return texts;
    }

    TModelGlobalsGuard Globals;
    TScopedFakeUserInterface Ui;
    TDiagramObjectModel *Target = nullptr;
    QString Script;
};

} // namespace

TEST_F(CompareModelsTest, PagesOrAFileGiveTheDeltaOrNoDifferences)
{
    // The current page against the next one is what the wizard offers first.
    TfrmCompareModelsWizard wizard;
    EXPECT_EQ(Child<QComboBox>(wizard, "cboOriginal")->currentIndex(), 0);
    EXPECT_EQ(Child<QComboBox>(wizard, "cboTarget")->currentIndex(), 1);
    EXPECT_FALSE(Child<QLineEdit>(wizard, "edtTargetFile")->isEnabled());
    EXPECT_EQ(Compare(0, 1), QStringList{"/* no differences found */"});

    Target->Tables.GetTable(0)->Columns.GetColumn(1)->DataLength = 40;
    AddColumn(*Target->Tables.GetTable(0), "HIREDATE", "DATE");
    const QStringList shown = Compare(0, 1);
    EXPECT_EQ(shown, QStringList{QString(Script).remove('\r')});
    expectGolden("ddl/compare_models.sql", Script.toUtf8());
    // Swapped, the same difference reads the other way.
    EXPECT_EQ(Compare(1, 0).size(), 1);
    EXPECT_TRUE(Script.contains("ALTER TABLE SHOP.EMP DROP COLUMN HIREDATE") && Script.contains("MODIFY (ENAME VARCHAR2(10))"));

    // The target may be a diagram file.
    QTemporaryDir dir;
    Target->Tables.GetTable(0)->Comment = "Staff";
    Target->FileName = dir.filePath("target.xml");
    Target->SaveModelToFile(true);
    const int file = 2; // after the two pages

    // No file or a missing one is said and the wizard stays open.
    EXPECT_TRUE(Compare(0, file).isEmpty());
    EXPECT_TRUE(Compare(0, file, dir.filePath("missing.xml")).isEmpty());
    EXPECT_EQ(Ui.Messages(), QStringList({"Choose the diagram file to compare with.",
                                          "File not found: " + dir.filePath("missing.xml")}));

    Child<QComboBox>(wizard, "cboTarget")->setCurrentIndex(file);
    EXPECT_TRUE(Child<QLineEdit>(wizard, "edtTargetFile")->isEnabled());
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(Target->FileName));
    Child<QPushButton>(wizard, "btnBrowse")->click();
    EXPECT_EQ(Child<QLineEdit>(wizard, "edtTargetFile")->text(), Target->FileName);

    EXPECT_EQ(Compare(0, file, Target->FileName).size(), 1);
    EXPECT_TRUE(Script.contains(" *  Target Model is Shop v2\r\n") && Script.contains("COMMENT ON TABLE SHOP.EMP IS 'Staff'"));
}

// A page read from the dictionary (LF) against the file saved from it (read
// back with CR LF) has nothing to change.
TEST_F(CompareModelsTest, APageAgainstItsOwnFileHasNoDifferences)
{
    TDiagramTable *emp = CurrentModel->Tables.GetTable(0);
    emp->Comment = "Staff\nof the shop";
    emp->Columns.GetColumn(1)->Comment = "Name\n\nas written";
    auto *check = new TDiagramCheckConstraint();
    check->Name = "EMP_CK";
    check->CheckText = "EMPNO > 0\nAND EMPNO < 10000";
    emp->CheckConstraints.Add(check);
    QTemporaryDir dir;
    CurrentModel->FileName = dir.filePath("shop.xml");
    CurrentModel->SaveModelToFile(true);
    EXPECT_EQ(Compare(0, 2, CurrentModel->FileName), QStringList{"/* no differences found */"});
}

// A caption's "&" underlines its key only when the caption has a field to go
// to; without one the "&" is shown as typed.
TEST_F(CompareModelsTest, EachCaptionLeadsToItsField)
{
    TfrmCompareModelsWizard wizard;
    QStringList captions;
    for (const QLabel *label : wizard.findChildren<QLabel *>())
        captions << label->text() + " > " + (label->buddy() ? label->buddy()->objectName() : QString());
    captions.sort();
    EXPECT_EQ(captions, QStringList({"&Original model: > cboOriginal", "&Target model: > cboTarget",
                                     "Target &file: > edtTargetFile"}));
}
