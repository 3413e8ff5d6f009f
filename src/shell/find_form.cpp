#include "shell/find_form.h"

#include "canvas/dom_tree.h"
#include "canvas/os_diagram.h"
#include "model/diagram_object_model.h"
#include "model/diagram_table.h"
#include "model/model_globals.h"
#include "platform/user_interface.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

const QString FindCaption = QStringLiteral("&Find");
const QString FindNextCaption = QStringLiteral("&Find Next");

} // namespace

// A tool window of its owner: it stays above the main window only, so a
// message box of the program never hides beneath it.
TfrmFind::TfrmFind(QWidget *owner) : QDialog(owner, Qt::Tool)
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto *lblFind = new QLabel(QStringLiteral("Fi&nd what:"), this);
    edtFind = new QLineEdit(this);
    edtFind->setObjectName(QStringLiteral("edtFind"));
    lblFind->setBuddy(edtFind);

    auto *rgrpWhere = new QGroupBox(this);
    rgrpWhere->setObjectName(QStringLiteral("rgrpWhere"));
    auto *whereLayout = new QHBoxLayout(rgrpWhere);
    rbtnModelTree = new QRadioButton(QStringLiteral("In Model Tree"), rgrpWhere);
    rbtnModelTree->setObjectName(QStringLiteral("rbtnModelTree"));
    rbtnDiagram = new QRadioButton(QStringLiteral("In Diagram"), rgrpWhere);
    rbtnDiagram->setObjectName(QStringLiteral("rbtnDiagram"));
    rbtnModelTree->setChecked(true);
    whereLayout->addWidget(rbtnModelTree);
    whereLayout->addWidget(rbtnDiagram);

    btnFindNext = new QPushButton(FindCaption, this);
    btnFindNext->setObjectName(QStringLiteral("btnFindNext"));
    btnFindNext->setDefault(true);
    btnFindNext->setEnabled(false);
    btnFindAll = new QPushButton(QStringLiteral("Find &All"), this);
    btnFindAll->setObjectName(QStringLiteral("btnFindAll"));
    btnFindAll->setEnabled(false);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(lblFind, 0, 0);
    grid->addWidget(edtFind, 0, 1);
    grid->addWidget(btnFindNext, 0, 2);
    grid->addWidget(rgrpWhere, 1, 0, 2, 2);
    grid->addWidget(btnFindAll, 1, 2);
    grid->addWidget(btnCancel, 2, 2);
    resize(351, 113);
    if (const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    connect(edtFind, &QLineEdit::textChanged, this, [this] { edtFindChange(); });
    connect(rbtnModelTree, &QRadioButton::clicked, this, [this] { rgrpWhereClick(); });
    connect(rbtnDiagram, &QRadioButton::clicked, this, [this] { rgrpWhereClick(); });
    connect(btnFindNext, &QPushButton::clicked, this, [this] { ShowExceptions([this] { btnFindNextClick(); }); });
    connect(btnFindAll, &QPushButton::clicked, this, [this] { ShowExceptions([this] { btnFindAllClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
}

void TfrmFind::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    LastTreeHit_ = -1;
    edtFind->setFocus();
}

bool TfrmFind::InModelTree() const { return rbtnModelTree->isChecked(); }

void TfrmFind::Restart()
{
    btnFindNext->setText(FindCaption);
    LastDiagramHit_ = -1;
    LastTreeHit_ = -1;
}

void TfrmFind::edtFindChange()
{
    const bool any = !edtFind->text().isEmpty();
    btnFindNext->setEnabled(any);
    btnFindAll->setEnabled(any);
    Restart();
}

void TfrmFind::rgrpWhereClick() { Restart(); }

void TfrmFind::btnFindNextClick()
{
    if (InModelTree())
        FindNextInTree();
    else
        FindNextInDiagram();
}

void TfrmFind::btnFindAllClick()
{
    if (InModelTree())
        FindAllInTree();
    else
        FindAllInDiagram();
}

void TfrmFind::ReportNoMatch()
{
    UserInterface().ShowInformation(btnFindNext->text() == FindCaption ? QStringLiteral("No match found")
                                                                       : QStringLiteral("No more matches found"));
}

void TfrmFind::RefreshDiagram()
{
    if (CurrentDiagram)
        CurrentDiagram->Refresh();
}

namespace {

bool TableMatches(const TDiagramTable *table, const QString &text)
{
    return table && table->Name.toUpper().contains(text.toUpper());
}

} // namespace

void TfrmFind::FindNextInDiagram()
{
    SelectedGraphics->Clear();
    const QString text = edtFind->text();
    bool found = false;
    if (CurrentModel) {
        const TOSTableList &tables = CurrentModel->Tables;
        for (int i = 0; i < tables.Count(); ++i) {
            if (i > LastDiagramHit_ && TableMatches(tables.GetTable(i), text)) {
                LastDiagramHit_ = i;
                SelectedGraphics->Add(tables.GetTable(i));
                found = true;
                break;
            }
        }
    }
    if (found) {
        btnFindNext->setText(FindNextCaption);
        RefreshDiagram();
        return;
    }
    ReportNoMatch();
    btnFindNext->setText(FindCaption);
    LastDiagramHit_ = -1;
    RefreshDiagram();
}

void TfrmFind::FindAllInDiagram()
{
    SelectedGraphics->Clear();
    const QString text = edtFind->text();
    if (CurrentModel) {
        const TOSTableList &tables = CurrentModel->Tables;
        for (int i = 0; i < tables.Count(); ++i) {
            if (TableMatches(tables.GetTable(i), text))
                SelectedGraphics->Add(tables.GetTable(i));
        }
    }
    if (SelectedGraphics->Count() > 0)
        RefreshDiagram();
    else
        UserInterface().ShowInformation(QStringLiteral("No matches found"));
}

void TfrmFind::FindNextInTree()
{
    if (ShowModelExplorer)
        ShowModelExplorer();
    LastTreeHit_ = TDOMTree::FindNode(edtFind->text(), LastTreeHit_);
    if (LastTreeHit_ == -1) {
        ReportNoMatch();
        btnFindNext->setText(FindCaption);
    } else {
        btnFindNext->setText(FindNextCaption);
    }
}

void TfrmFind::FindAllInTree()
{
    if (ShowModelExplorer)
        ShowModelExplorer();
    LastTreeHit_ = -1;
    int found = 0;
    for (;;) {
        const int hit = TDOMTree::FindNode(edtFind->text(), LastTreeHit_);
        if (hit == -1)
            break;
        LastTreeHit_ = hit;
        ++found;
    }
    LastTreeHit_ = -1;
    if (found == 0)
        UserInterface().ShowInformation(QStringLiteral("No matches found"));
    btnFindNext->setText(FindCaption);
}
