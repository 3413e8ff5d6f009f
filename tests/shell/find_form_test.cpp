// The find dialog over the tables of the page and over the model tree: its
// buttons, the order of the matches and the messages when they run out.
#include "shell_fixture.h"

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

    // Presses Find (or Find All) with a text in a scope; "" keeps the text.
    void Press(bool inDiagram, const char *text, bool all = false)
    {
        QRadioButton *scope = inDiagram ? Find_->rbtnDiagram : Find_->rbtnModelTree;
        if (!scope->isChecked())
            scope->click();
        if (*text)
            Find_->edtFind->setText(QString::fromLatin1(text));
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

TEST_F(FindFormTest, EachPressMovesToTheNextMatchAndSaysWhenTheyRunOut)
{
    struct Step {
        bool InDiagram;
        const char *Text;
        bool All;
        const char *State;
        const char *Message;
    };
    // Tables in list order ORDERS, CUSTOMERS, ORDER_LINES; a changed text or
    // scope starts again from the first.
    const Step steps[] = {
        {true, "ord", false, "ORDERS||&Find Next", nullptr},
        {true, "", false, "ORDER_LINES||&Find Next", nullptr},
        {true, "", false, "||&Find", "No more matches found"},
        {true, "", false, "ORDERS||&Find Next", nullptr},
        {true, "orde", false, "ORDERS||&Find Next", nullptr},
        {false, "", false, "ORDERS|SALES.ORDERS|&Find Next", nullptr},
        {true, "", false, "ORDERS|SALES.ORDERS|&Find Next", nullptr},
        {true, "Order", true, "ORDERS,ORDER_LINES|SALES.ORDERS|&Find", nullptr},
        // A tree hit selects its table's box.
        {false, "customers", false, "CUSTOMERS|SALES.CUSTOMERS|&Find Next", nullptr},
        {false, "", false, "CUSTOMERS||&Find", "No more matches found"},
        {false, "", false, "CUSTOMERS|SALES.CUSTOMERS|&Find Next", nullptr},
        {true, "INVOICES", false, "|SALES.CUSTOMERS|&Find", "No match found"},
        {true, "", true, "|SALES.CUSTOMERS|&Find", "No matches found"},
        {false, "", false, "||&Find", "No match found"},
        {false, "", true, "||&Find", "No matches found"},
    };
    for (const Step &s : steps) {
        Ui.Clear();
        Find<QTabWidget>("pgcNavigator")->setCurrentIndex(0);
        Press(s.InDiagram, s.Text, s.All);
        EXPECT_EQ(State().toStdString(), s.State) << s.Text;
        EXPECT_EQ(Ui.Messages().join('|').toStdString(), s.Message ? s.Message : "") << s.State;
        // A search of the tree brings the model explorer forward.
        EXPECT_EQ(Find<QTabWidget>("pgcNavigator")->currentIndex(), s.InDiagram ? 0 : 1) << s.State;
    }
}
