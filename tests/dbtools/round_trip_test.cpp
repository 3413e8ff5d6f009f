// Every table of the sample database read, saved, reopened and pasted: each
// copy equals the others and a fresh read, and the console names every index
// the model cannot hold.
#include "dbtools/compare_models_wizard.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "sample_database.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

struct TModelGlobalsScope {
    TModelGlobalsScope() { InitializeModelGlobals(); }
    ~TModelGlobalsScope() { FinalizeModelGlobals(); }
};

} // namespace

TEST(RoundTripTest, SampleTablesReadSavedReopenedAndPastedStayAlike)
{
    TModelGlobalsScope globals;
    TRecordingConsole console;
    TSampleSessionScope scope;
    TDiagramObjectModel read;
    read.Name = QStringLiteral("Sample");
    for (const QString owner : {"HR", "CO", "SH", "SHOP"}) {
        QStringList names;
        for (const QString &qualified : scope.Session->ListTables(owner))
            names << qualified.section('.', 1);
        auto tables = scope.Session->GetTables(owner, names);
        for (qsizetype i = 0; i < names.size(); ++i)
            read.AddTableRead(std::move(tables[size_t(i)]), owner, names[i]);
    }
    EXPECT_EQ(console.Lines.filter(" left out: ").join('\n').toStdString(),
              "Index HR.COUNTRY_C_ID_PK of HR.COUNTRIES left out: it is the index of an index-organized table, part "
              "of the table's storage.\n"
              "Index SH.SUP_TEXT_IDX of SH.SUPPLEMENTARY_DEMOGRAPHICS left out: it is a domain index, which the "
              "model cannot hold.\n"
              "Index SHOP.PRODUCTS_CAT_PRICE_IX of SHOP.PRODUCTS left out: it is function-based, and the model "
              "holds column lists only.");

    QTemporaryDir dir;
    read.FileName = dir.filePath(QStringLiteral("sample.xml"));
    read.SaveModelToFile(true);
    TDiagramObjectModel reopened;
    ASSERT_TRUE(reopened.LoadModelFromFile(nullptr, false, read.FileName));
    SelectedGraphics->Clear();
    for (int i = 0; i < reopened.Tables.Count(); ++i)
        SelectedGraphics->Add(reopened.Tables.Get(i));
    // The wizard (page against page, page against its file) and the delta
    // against the database find nothing to change either.
    for (const TDiagramObjectModel *page : {&read, &reopened}) {
        EXPECT_EQ(TfrmCompareModelsWizard::BuildComparison(read, *page).toStdString(), "/* no differences found */");
        EXPECT_EQ(TfrmCompareModelsWizard::BuildComparison(*page, read).toStdString(), "/* no differences found */");
        EXPECT_EQ(page->BuildDatabaseDeltaDdl().trimmed().toStdString(), "");
    }
    QBuffer clipboard;
    clipboard.setData(reopened.BuildDiagramXml(false).join(QStringLiteral("\r\n")).toLatin1());
    clipboard.open(QIODevice::ReadOnly);
    TDiagramObjectModel pasted;
    ASSERT_TRUE(pasted.LoadModelFromStream(nullptr, true, clipboard));

    QString differences;
    ASSERT_EQ(read.Tables.Count(), 30);
    for (int i = 0; i < read.Tables.Count(); ++i) {
        const TDiagramTable &original = *read.Tables.Get(i);
        const auto fresh = scope.Session->GetTable(original.Owner, original.Name);
        const TDiagramTable *copies[] = {&original, reopened.Tables.FindTable(original.Name, original.Owner),
                                         pasted.Tables.FindTable(original.Name, original.Owner), fresh.get()};
        for (const TDiagramTable *a : copies)
            for (const TDiagramTable *b : copies) {
                if (!a || !b) {
                    differences += original.Owner + '.' + original.Name + " is missing\n";
                    continue;
                }
                const QString delta = a->BuildAlterDdl(*b);
                if (!delta.trimmed().isEmpty())
                    differences += original.Owner + '.' + original.Name + ":\n" + delta;
            }
    }
    EXPECT_EQ((differences.isEmpty() ? QStringLiteral("/* no differences found */") : differences).toStdString(),
              "/* no differences found */");
}
