// The find dialog over the tables of the page and over the model tree: its
// buttons, the order of the matches and the messages when they run out.
#include "shell_fixture.h"

#include "canvas/dom_tree.h"
#include "model/diagram_table.h"
#include "model_builders.h"
#include "shell/find_form.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>

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

    QStringList Selected() const
    {
        QStringList names;
        for (int i = 0; i < SelectedGraphics->Count(); ++i)
            names << SelectedGraphics->GetItem(i)->Name;
        return names;
    }

    QString CurrentNode() const
    {
        QTreeWidgetItem *item = Find<QTreeWidget>("tvwModel")->currentItem();
        return item && item->isSelected() ? item->text(0) : QString();
    }

    TfrmFind *Find_ = nullptr;
};

TEST_F(FindFormTest, OpensReadyToTypeWithTheButtonsOffUntilThereIsText)
{
    EXPECT_TRUE(Find_->isVisible());
    EXPECT_EQ(Find_->windowTitle(), "Find");
    // Above its main window only, so message boxes are never hidden beneath it.
    EXPECT_EQ(Find_->windowType(), Qt::Tool);
    EXPECT_FALSE(Find_->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(Find_->parentWidget(), Form.get());
    EXPECT_TRUE(Find_->rbtnModelTree->isChecked());
    EXPECT_EQ(Find_->btnFindNext->text(), "&Find");
    EXPECT_EQ(Find_->btnFindAll->text(), "Find &All");
    EXPECT_EQ(Find_->btnCancel->text(), "&Cancel");
    for (const char *text : {"", "o", ""}) {
        Find_->edtFind->setText(QString::fromLatin1(text));
        const bool any = *text != 0;
        EXPECT_EQ(Find_->btnFindNext->isEnabled(), any) << text;
        EXPECT_EQ(Find_->btnFindAll->isEnabled(), any) << text;
    }
    // Each command makes a dialog of its own.
    Form->Action("actFind")->trigger();
    EXPECT_EQ(Form->findChildren<TfrmFind *>().size(), 2);
}

TEST_F(FindFormTest, FindNextInTheDiagramWalksTheTablesInListOrderAndStartsAgain)
{
    Find_->rbtnDiagram->click();
    Find_->edtFind->setText(QStringLiteral("ord"));
    struct Step {
        QStringList Selected;
        const char *Caption;
        QStringList Messages;
    };
    const Step steps[] = {
        {{"ORDERS"}, "&Find Next", {}},
        {{"ORDER_LINES"}, "&Find Next", {}},
        {{}, "&Find", {"No more matches found"}},
        {{"ORDERS"}, "&Find Next", {"No more matches found"}},
    };
    for (const Step &step : steps) {
        Find_->btnFindNext->click();
        EXPECT_EQ(Selected(), step.Selected);
        EXPECT_EQ(Find_->btnFindNext->text(), step.Caption);
        EXPECT_EQ(Ui.Messages(), step.Messages);
    }
}

TEST_F(FindFormTest, ChangingTextOrScopeStartsTheSearchAgain)
{
    Find_->rbtnDiagram->click();
    Find_->edtFind->setText(QStringLiteral("ORD"));
    Find_->btnFindNext->click();
    Find_->btnFindNext->click();
    EXPECT_EQ(Selected(), QStringList({"ORDER_LINES"}));
    Find_->edtFind->setText(QStringLiteral("orde"));
    EXPECT_EQ(Find_->btnFindNext->text(), "&Find");
    Find_->btnFindNext->click();
    EXPECT_EQ(Selected(), QStringList({"ORDERS"}));
    Find_->rbtnModelTree->click();
    Find_->rbtnDiagram->click();
    Find_->btnFindNext->click();
    EXPECT_EQ(Selected(), QStringList({"ORDERS"}));
}

TEST_F(FindFormTest, NoMatchMessagesByButtonAndScope)
{
    struct Case {
        bool InDiagram;
        bool All;
        const char *Message;
    };
    const Case cases[] = {{true, false, "No match found"},
                          {true, true, "No matches found"},
                          {false, false, "No match found"},
                          {false, true, "No matches found"}};
    for (const Case &c : cases) {
        Ui.Clear();
        (c.InDiagram ? Find_->rbtnDiagram : Find_->rbtnModelTree)->click();
        Find_->edtFind->setText(QStringLiteral("INVOICES"));
        (c.All ? Find_->btnFindAll : Find_->btnFindNext)->click();
        EXPECT_EQ(Ui.Messages(), QStringList({c.Message})) << c.InDiagram << c.All;
        EXPECT_EQ(Find_->btnFindNext->text(), "&Find");
        EXPECT_TRUE(Selected().isEmpty());
    }
}

TEST_F(FindFormTest, FindAllInTheDiagramSelectsEveryMatchingTableAtOnce)
{
    Find_->rbtnDiagram->click();
    Find_->edtFind->setText(QStringLiteral("Order"));
    Find_->btnFindAll->click();
    EXPECT_EQ(Selected(), QStringList({"ORDERS", "ORDER_LINES"}));
    EXPECT_EQ(Find_->btnFindNext->text(), "&Find");
    EXPECT_TRUE(Ui.Messages().isEmpty());
}

TEST_F(FindFormTest, FindNextInTheTreeShowsTheModelExplorerAndWalksItsNodes)
{
    Find<QTabWidget>("pgcNavigator")->setCurrentIndex(0);
    Find_->edtFind->setText(QStringLiteral("customers"));
    Find_->btnFindNext->click();
    EXPECT_EQ(Find<QTabWidget>("pgcNavigator")->currentIndex(), 1);
    EXPECT_EQ(CurrentNode(), "SALES.CUSTOMERS");
    EXPECT_EQ(Find_->btnFindNext->text(), "&Find Next");
    // Selecting the node selects its box.
    EXPECT_EQ(Selected(), QStringList({"CUSTOMERS"}));
    Find_->btnFindNext->click();
    EXPECT_EQ(Ui.Messages(), QStringList({"No more matches found"}));
    EXPECT_EQ(Find_->btnFindNext->text(), "&Find");
    Find_->btnFindNext->click();
    EXPECT_EQ(CurrentNode(), "SALES.CUSTOMERS");
}

TEST_F(FindFormTest, CancelHidesTheDialog)
{
    Find_->btnCancel->click();
    EXPECT_FALSE(Find_->isVisible());
}
