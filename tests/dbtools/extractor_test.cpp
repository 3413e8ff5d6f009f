// The schema extractor on the sample database: the DDL of SHOP's tables in
// the window and in "ddl_extract.txt", objects without DDL named in the file,
// and Cancel writing nothing.
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
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ExtractorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TConfigSettings::SetProgramFolderOverride(Temp.path());
        Form = TfrmExtractor::Create();
    }
    void TearDown() override
    {
        delete Form.data();
        TConfigSettings::SetProgramFolderOverride({});
    }

    void CheckKinds(const QStringList &kinds)
    {
        auto *list = Child<QListWidget>(*Form, "lvwKinds");
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setCheckState(kinds.contains(list->item(i)->text()) ? Qt::Checked : Qt::Unchecked);
    }

    // Lets the window work through its objects, as the event loop would.
    void RunToEnd()
    {
        while (Form->IsRunning())
            QCoreApplication::processEvents();
    }

    QString Status() const { return Child<QLabel>(*Form, "lblStatus")->text(); }
    QString FileName() const { return Temp.filePath("ddl_extract.txt"); }

    QTemporaryDir Temp;
    TScopedFakeUserInterface Ui;
    TSampleSessionScope Session{"shop"};
    QPointer<TfrmExtractor> Form;
};

} // namespace

TEST_F(ExtractorTest, TablesOfShop)
{
    EXPECT_EQ(Child<QComboBox>(*Form, "cboOwner")->currentText(), "SHOP");
    Child<QPushButton>(*Form, "btnExtract")->click();
    EXPECT_TRUE(Form->IsRunning());
    EXPECT_FALSE(Child<QPushButton>(*Form, "btnExtract")->isEnabled());
    RunToEnd();
    auto *progress = Child<QProgressBar>(*Form, "pbrProgress");
    EXPECT_EQ(progress->value(), progress->maximum());
    QFile file(FileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    expectGolden("ddl_extract_shop.txt", written);
    EXPECT_EQ(Child<QPlainTextEdit>(*Form, "memOutput")->toPlainText(), QString::fromUtf8(written).remove('\r'));
    EXPECT_EQ(Status(), QStringLiteral("%1 object(s) written to %2.").arg(progress->maximum()).arg(FileName()));
    EXPECT_TRUE(Ui.Messages().isEmpty());
}

TEST_F(ExtractorTest, ObjectsWithoutDdlAreNamedInTheFile)
{
    CheckKinds({"Views", "Sequences"});
    Child<QPushButton>(*Form, "btnExtract")->click();
    RunToEnd();
    const int objects = Child<QProgressBar>(*Form, "pbrProgress")->maximum();
    ASSERT_GT(objects, 0);
    EXPECT_EQ(Status(), QStringLiteral("%1 object(s) written to %2. %1 of them have no DDL; the file says why.")
                            .arg(objects)
                            .arg(FileName()));
    QFile file(FileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_EQ(text.count("needs an Oracle server"), objects);
}

TEST_F(ExtractorTest, CancelWritesNothing)
{
    CheckKinds({"Tables", "Types"});
    Child<QPushButton>(*Form, "btnExtract")->click();
    const int objects = Child<QProgressBar>(*Form, "pbrProgress")->maximum();
    ASSERT_GT(objects, 1);
    QCoreApplication::processEvents(); // one object
    Child<QPushButton>(*Form, "btnCancel")->click();
    RunToEnd();
    EXPECT_EQ(Status(), QStringLiteral("Cancelled after 1 of %1 object(s); nothing was written.").arg(objects));
    EXPECT_FALSE(QFile::exists(FileName()));
    EXPECT_TRUE(Child<QPushButton>(*Form, "btnExtract")->isEnabled());
}

TEST_F(ExtractorTest, OfflineThereIsNoWindow)
{
    DatabaseSession->Disconnect();
    EXPECT_THROW(TfrmExtractor::Create(), ENotConnected);
    EXPECT_THROW(Form->Extract(), ENotConnected);
    EXPECT_FALSE(Form->IsRunning());
}
