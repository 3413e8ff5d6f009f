// The diagram properties dialog and Full Screen there and back.
#include "shell_fixture.h"

#include "shell/rename_form.h"

class DialogsTest : public ShellFixture {
protected:
    // Answers the next properties dialog with a name and comment, or cancels it.
    void AnswerProperties(std::optional<std::pair<QString, QString>> answer)
    {
        TfrmRename::ModalHook = [this, answer](TfrmRename &dialog) {
            Preset = {dialog.edtName->text(), dialog.memComment->toPlainText()};
            Title = dialog.windowTitle();
            if (!answer)
                return int(QDialog::Rejected);
            dialog.edtName->setText(answer->first);
            dialog.memComment->setPlainText(answer->second);
            return int(QDialog::Accepted);
        };
    }
    void TearDown() override
    {
        TfrmRename::ModalHook = nullptr;
        ShellFixture::TearDown();
    }
    std::pair<QString, QString> Preset;
    QString Title;
};

TEST_F(DialogsTest, PropertiesRenameThePageFromEveryPlaceThatOffersThem)
{
    Tfrmgui &form = Start({"file="});
    CurrentModel->Comment = QStringLiteral("old note");
    std::pair<QString, QString> previous{CurrentModel->Name, QStringLiteral("old note")};
    const std::pair<const char *, std::pair<QString, QString>> cases[] = {
        {"actRenameDiagram", {"Sales & Orders", "two\nlines"}},
        {"mniProperties", {"HR", ""}},
        {"mniExpProperties", {"", "empty names are taken"}}};
    for (const auto &[item, answer] : cases) {
        AnswerProperties(answer);
        Find<QAction>(item)->trigger();
        EXPECT_EQ(Title, "Rename Diagram");
        EXPECT_EQ(Preset, previous) << item;
        EXPECT_EQ(std::pair(CurrentModel->Name, CurrentModel->Comment), answer) << item;
        previous = answer;
    }
    // The tab shows an ampersand as typed; Cancel changes nothing.
    AnswerProperties(std::pair{QStringLiteral("A&B"), QString()});
    form.Action("actRenameDiagram")->trigger();
    EXPECT_EQ(TabTexts(), QStringList({"A&&B"}));
    AnswerProperties(std::nullopt);
    form.Action("actRenameDiagram")->trigger();
    EXPECT_EQ(std::pair(CurrentModel->Name, CurrentModel->Comment), std::pair(QString("A&B"), QString()));
    EXPECT_EQ(TabTexts(), QStringList({"A&&B"}));
}

TEST_F(DialogsTest, FullScreenThereAndBackKeepsBoundsAndTheSelectedPageEvenAmongTwins)
{
    Tfrmgui &form = Start({"file="});
    form.NewModelPage();
    form.NewModelPage();
    // Two pages of one name: the page is kept by its place, not its name.
    (*OpenModels)[0]->Name = QStringLiteral("Twin");
    (*OpenModels)[2]->Name = QStringLiteral("Twin");
    form.SelectModelTab(2);
    Find<QTabBar>("tabModels")->setCurrentIndex(2);
    const QRect bounds = form.geometry();
    Find<QAction>("mniFullScreen")->trigger();
    EXPECT_TRUE(form.Action("actFullScreen")->isChecked());
    EXPECT_EQ(CurrentModel, (*OpenModels)[2].get());
    Find<QAction>("mniFullScreen")->trigger();
    EXPECT_FALSE(form.Action("actFullScreen")->isChecked());
    EXPECT_EQ(form.geometry(), bounds);
    EXPECT_EQ(Find<QTabBar>("tabModels")->currentIndex(), 2);
    EXPECT_EQ(CurrentModel, (*OpenModels)[2].get());
}
