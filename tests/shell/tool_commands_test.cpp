// The main window's wizard and session-tool commands: new tables and notes
// get their boxes, a double click edits the box's table, and the extractor
// and export/import windows open while logged on and list themselves.
#include "canvas/os_graphic.h"
#include "model/model_hooks.h"
#include "modal_dialog.h"
#include "shell/wizard_hooks.h"
#include "sample_database.h"
#include "shell_fixture.h"

class WizardCommandsTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        TWizardHooks::Install();
    }
    void TearDown() override
    {
        TModelHooks::Wizards = nullptr;
        ShellFixture::TearDown();
    }
};

TEST_F(WizardCommandsTest, NewTableGetsABoxAndADoubleClickEditsIt)
{
    Tfrmgui &form = StartWithCanvas({"file="});
    // Cancelled wizards add nothing.
    for (const char *command : {"actCreateTable", "actCreateNote"}) {
        WhenModal([](QDialog &dialog) { Child<QPushButton>(dialog, "btnCancel")->click(); });
        form.findChild<QAction *>(command)->trigger();
    }
    EXPECT_EQ(CurrentModel->Tables.Count() + CurrentModel->Notes.Count(), 0);
    WhenModal([](QDialog &dialog) {
        Child<QLineEdit>(dialog, "edtName")->setText("PARTS");
        AddGridRow(dialog, "btnAddColumn", "sgdColumns", {"PART_NO", "NUMBER(6)", "<not null>"});
        Child<QPushButton>(dialog, "btnOK")->click();
    });
    form.findChild<QAction *>("actCreateTable")->trigger();
    ASSERT_EQ(CurrentModel->Tables.Count(), 1);
    TDiagramTable *table = CurrentModel->Tables.GetTable(0);
    TOSGraphic *box = TOSGraphic::BoxOf(table);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->geometry().topLeft(), QPoint(10, 10));
    const int oneColumnHeight = box->height();

    WhenModal([](QDialog &dialog) {
        EXPECT_EQ(Child<QLineEdit>(dialog, "edtName")->text(), "PARTS");
        AddGridRow(dialog, "btnAddColumn", "sgdColumns", {"LABEL", "VARCHAR2(40)"});
        AddGridRow(dialog, "btnAddColumn", "sgdColumns", {"WEIGHT", "NUMBER(8,3)"});
        Child<QPushButton>(dialog, "btnOK")->click();
    });
    box->GraphicDblClick();
    EXPECT_EQ(table->Columns.Count(), 3);
    EXPECT_GT(box->height(), oneColumnHeight);
    EXPECT_EQ(box->height(), table->Height);

    WhenModal([](QDialog &dialog) {
        Child<QPlainTextEdit>(dialog, "memText")->setPlainText("Parts are kept by weight");
        Child<QPushButton>(dialog, "btnOK")->click();
    });
    form.findChild<QAction *>("actCreateNote")->trigger();
    ASSERT_EQ(CurrentModel->Notes.Count(), 1);
    EXPECT_NE(TOSGraphic::BoxOf(CurrentModel->Notes.GetNote(0)), nullptr);
}

TEST_F(WizardCommandsTest, SessionToolsOpenWhileLoggedOnAndListThemselves)
{
    TLoginManager::SetSessionFactory([](const TLogonValues &) { return OpenSampleSession("hr"); });
    Tfrmgui &form = Start({"hr/hr@sample"});
    for (const char *command : {"actExtractMetaData", "actExportImport"}) {
        ASSERT_TRUE(form.Action(command)->isEnabled()) << command;
        form.Action(command)->trigger();
    }
    EXPECT_TRUE(Ui.Messages().isEmpty()) << Ui.Messages().join("|").toStdString();
    auto *menu = Find<QMenu>("mnuWindow");
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[0]->text() + "|" + menu->actions()[1]->text(), "Schema Extractor ~ 1|Export and Import ~ 2");
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName() == "frmExtractor" || window->objectName() == "frmExportImport")
            window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(menu->actions().isEmpty());
}
