// The export and import window on the sample database: the copy script of
// HR's rows, in the window and in "copy_data.txt", against its golden file.
#include "dbtools/export_import_form.h"
#include "modal_dialog.h"
#include "platform/config_settings.h"
#include "platform/fake_user_interface.h"
#include "sample_database.h"
#include "test_data.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ExportImportTest : public ::testing::Test {
protected:
    void SetUp() override { TConfigSettings::SetProgramFolderOverride(Temp.path()); }
    void TearDown() override
    {
        delete Form.data();
        TConfigSettings::SetProgramFolderOverride({});
    }

    TfrmExportImport &Open()
    {
        Form = TfrmExportImport::Create();
        return *Form;
    }

    void Check(const QStringList &tables)
    {
        auto *list = Child<QListWidget>(*Form, "lvwTables");
        for (const QString &table : tables) {
            const QList<QListWidgetItem *> found = list->findItems(table, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << table.toStdString();
            found[0]->setCheckState(Qt::Checked);
        }
    }

    QTemporaryDir Temp;
    TScopedFakeUserInterface Ui;
    TSampleSessionScope Session{"hr"};
    QPointer<TfrmExportImport> Form;
};

} // namespace

TEST_F(ExportImportTest, CopyScriptOfHrTables)
{
    TfrmExportImport &form = Open();
    EXPECT_EQ(Child<QComboBox>(form, "cboOwner")->currentText(), "HR");
    EXPECT_EQ(Child<QListWidget>(form, "lvwTables")->count(), 7);
    Check({"HR.DEPARTMENTS", "HR.JOB_HISTORY"});
    Child<QPushButton>(form, "btnGenerate")->click();
    EXPECT_TRUE(Ui.Messages().isEmpty()) << Ui.Messages().join("|").toStdString();

    QFile file(Temp.filePath("copy_data.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    expectGolden("copy_data_hr.txt", written);
    EXPECT_EQ(Child<QPlainTextEdit>(form, "memOutput")->toPlainText(), QString::fromUtf8(written).remove('\r'));
    EXPECT_EQ(Child<QLabel>(form, "lblStatus")->text(),
              "Copy script of 2 table(s) written to " + Temp.filePath("copy_data.txt") + ".");
}

TEST_F(ExportImportTest, TablesWithoutRowsAreNamedNotHidden)
{
    TfrmExportImport &form = Open();
    auto *owner = Child<QComboBox>(form, "cboOwner");
    owner->setCurrentIndex(owner->findText("SHOP"));
    Check({"SHOP.CATEGORIES"});
    Child<QPushButton>(form, "btnGenerate")->click();
    ASSERT_EQ(Ui.Messages().size(), 1);
    EXPECT_EQ(Ui.Messages()[0], "The rows of SHOP.CATEGORIES could not be read; the script says why.");
    EXPECT_TRUE(Child<QPlainTextEdit>(form, "memOutput")->toPlainText().startsWith("/*  SHOP.CATEGORIES: not copied: "));
}

TEST_F(ExportImportTest, NothingCheckedWritesNothing)
{
    TfrmExportImport &form = Open();
    Child<QPushButton>(form, "btnGenerate")->click();
    EXPECT_EQ(Ui.Messages(), QStringList{"Check the tables whose rows the script should copy."});
    EXPECT_FALSE(QFile::exists(Temp.filePath("copy_data.txt")));
}

TEST_F(ExportImportTest, OfflineThereIsNoWindow)
{
    DatabaseSession->Disconnect();
    EXPECT_THROW(TfrmExportImport::Create(), ENotConnected);
}
