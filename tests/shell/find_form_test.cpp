// The find dialog over the tables of the page and over the model tree: its
// buttons, the order of the matches and the messages when they run out.
#include "shell_fixture.h"

#include "model/diagram_table.h"
#include "model_builders.h"
#include "shell/find_form.h"

class FindFormTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        StartWithCanvas({"file="});
        for (const char *name : {"ORDERS", "CUSTOMERS", "ORDER_LINES"})
            AddTable(*CurrentModel, "SALES", name);
        Form->Diagram().RefreshExplorerTree();
        Form->Action("actFind")->trigger();
        Find_ = Form->findChildren<TfrmFind *>().last();
    }

    // Presses Find (or Find All) with a text in a scope; "" keeps the text.
    void Press(bool inDiagram, const QString &text, bool all)
    {
        QRadioButton *scope = inDiagram ? Find_->rbtnDiagram : Find_->rbtnModelTree;
        if (!scope->isChecked())
            scope->click();
        if (!text.isEmpty())
            Find_->edtFind->setText(text);
        (all ? Find_->btnFindAll : Find_->btnFindNext)->click();
    }

    // The selected tables, the tree's selected node and the button's caption.
    QString State() const
    {
        QStringList names;
        for (int i = 0; i < SelectedGraphics->Count(); ++i)
            names << SelectedGraphics->GetItem(i)->Name;
        QTreeWidgetItem *item = Find<QTreeWidget>("tvwModel")->currentItem();
        return names.join(',') + "|" + (item && item->isSelected() ? item->text(0) : QString()) + "|" +
               Find_->btnFindNext->text();
    }

    TfrmFind *Find_ = nullptr;
};

TEST_F(FindFormTest, OpensAboveItsWindowOnlyWithTheButtonsOffUntilThereIsText)
{
    EXPECT_TRUE(Find_->isVisible());
    EXPECT_EQ(Find_->windowTitle(), "Find");
    // Above its main window only, so message boxes are never hidden beneath it.
    EXPECT_EQ(Find_->windowType(), Qt::Tool);
    EXPECT_FALSE(Find_->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(Find_->parentWidget(), Form.get());
    EXPECT_TRUE(Find_->rbtnModelTree->isChecked());
    EXPECT_EQ(Find_->btnFindAll->text() + Find_->btnCancel->text(), "Find &All&Cancel");
    for (const char *text : {"", "o", ""}) {
        Find_->edtFind->setText(QString::fromLatin1(text));
        EXPECT_EQ(Find_->btnFindNext->isEnabled(), *text != 0) << text;
        EXPECT_EQ(Find_->btnFindAll->isEnabled(), *text != 0) << text;
    }
    Form->Action("actFind")->trigger();
    EXPECT_EQ(Form->findChildren<TfrmFind *>().size(), 2);
    Find_->btnCancel->click();
    EXPECT_FALSE(Find_->isVisible());
}

// A changed text or scope starts again from the first match; a tree hit
// selects its table's box.
TEST_F(FindFormTest, EachPressMovesToTheNextMatchAndSaysWhenTheyRunOut)
{
    for (const QStringList &f : readTestTable("shell/find_steps.txt")) {
        ASSERT_EQ(f.size(), 5) << f.join('|').toStdString();
        const std::string line = f.join(' ').toStdString();
        Ui.Clear();
        Find<QTabWidget>("pgcNavigator")->setCurrentIndex(0);
        Press(f[0] == "diagram", f[1] == "-" ? "" : f[1], f[2] == "all");
        EXPECT_EQ(State(), f[3]) << line;
        EXPECT_EQ(Ui.Messages().join('|'), f[4] == "-" ? "" : f[4]) << line;
        // A search of the tree brings the model explorer forward.
        EXPECT_EQ(Find<QTabWidget>("pgcNavigator")->currentIndex(), f[0] == "diagram" ? 0 : 1) << line;
    }
}
