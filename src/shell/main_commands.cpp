// What the main window's commands do: pages, files, saving, pictures, the view.
#include "shell/main_form.h"

#include "canvas/dom_tree.h"
#include "canvas/picture_export.h"
#include "canvas/sql_windows.h"
#include "dbtools/gui_helpers.h"
#include "model/diagram_object_model.h"
#include "model/database_session.h"
#include "model/helpers.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "platform/picture_formats.h"
#include "platform/shell.h"
#include "platform/user_interface.h"
#include "shell/console_form.h"
#include "shell/find_form.h"
#include "shell/menu_text.h"
#include "shell/plan_view.h"
#include "shell/rename_form.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QMenu>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QTabBar>
#include <QTreeWidget>

#include <algorithm>
#include <stdexcept>

namespace {

const QString XmlFilter = QStringLiteral("XML files (*.xml)|*.xml|All files (*.*)|*.*");

} // namespace

// ---------------------------------------------------------------------------
// Pages

void Tfrmgui::NewModelPage()
{
    auto model = std::make_unique<TDiagramObjectModel>();
    model->Style.Assign(Preferences->DefaultStyle);
    model->Name = QStringLiteral("New Model.") + QString::number(tabModels->count());
    TDiagramObjectModel *added = model.get();
    OpenModels->push_back(std::move(model));
    if (Shown_)
        added->SetTreeView(tvwModel);
    {
        const QScopedValueRollback<bool> guard(UpdatingTabs_, true);
        tabModels->addTab(EscapeAmpersands(added->Name));
        tabModels->setCurrentIndex(tabModels->count() - 1);
    }
    SelectModelTab(tabModels->count() - 1);
    GrowSurfaceToScrollBox();
}

void Tfrmgui::SelectModelTab(int index)
{
    if (index < 0 || index >= static_cast<int>(OpenModels->size()))
        return;
    Diagram_->SetPaintingEnabled(false);
    CurrentModel = (*OpenModels)[static_cast<size_t>(index)].get();
    Diagram_->Rebuild();
    FitSurfaceToModel();
    pbox->update();
    Diagram_->SetPaintingEnabled(true);
}

void Tfrmgui::tabModelsChange() { SelectModelTab(tabModels->currentIndex()); }

void Tfrmgui::ClosePage(int index)
{
    // The canvas and the explorers always show a page: the last one stays.
    if (index < 0 || index >= static_cast<int>(OpenModels->size()) || OpenModels->size() < 2)
        return;
    const int select = index == 0 ? 0 : index - 1;
    TDiagramObjectModel *const shown = CurrentModel;
    const void *const closing = (*OpenModels)[static_cast<size_t>(index)].get();
    Diagram_->SetPaintingEnabled(false);
    SelectedGraphics->Clear();
    OpenModels->erase(OpenModels->begin() + index);
    CurrentModel = (*OpenModels)[static_cast<size_t>(select)].get();
    {
        const QScopedValueRollback<bool> guard(UpdatingTabs_, true);
        tabModels->removeTab(index);
        tabModels->setCurrentIndex(select);
    }
    // Closing a page other than the one shown (the empty first page after a file opened from
    // the command line) leaves the canvas as it is and takes only that page out of the tree:
    // on a large diagram both would cost as much as opening it again.
    if (CurrentModel != shown)
        Diagram_->Rebuild();
    QTreeWidgetItem *const node = tvwModel->topLevelItem(index);
    if (node && TDOMTree::NodeData(node) == closing) {
        const QSignalBlocker blocker(tvwModel);
        delete node;
    } else {
        Diagram_->RefreshExplorerTree();
    }
    FitSurfaceToModel();
    pbox->update();
    Diagram_->SetPaintingEnabled(true);
}

void Tfrmgui::mniClosePageClick()
{
    if (tabModels->count() < 2)
        return;
    const int index = tabModels->currentIndex();
    const QString name = (*OpenModels)[static_cast<size_t>(index)]->Name;
    if (UserInterface().ConfirmOkCancel(QStringLiteral("Close page '") + name +
                                        QStringLiteral("'?")))
        ClosePage(index);
}

void Tfrmgui::actCloseAllPagesExecute()
{
    const int rounds = tabModels->count() - 1;
    for (int i = 0; i < rounds; ++i)
        mniClosePageClick();
}

void Tfrmgui::OpenModelFile(const QString &fileName, bool merge)
{
    THourglass hourglass;
    const bool blocked = tvwModel->blockSignals(true);
    const auto restore = qScopeGuard([&] { tvwModel->blockSignals(blocked); });
    const int shownBefore = tabModels->currentIndex();
    if (!merge) {
        NewModelPage();
        CurrentModel->FileName = fileName;
    }
    TDiagramObjectModel *model = CurrentModel;
    try {
        Diagram_->LoadModelFromFile(*model, fileName, merge);
    } catch (...) {
        // A failed open adds no page (nor one that could be saved over the
        // file it came from): the page shown before is shown again.
        const auto added = std::find_if(OpenModels->begin(), OpenModels->end(),
                                        [&](const auto &page) { return page.get() == model; });
        if (!merge && added != OpenModels->end() && OpenModels->size() > 1) {
            model->FileName.clear();
            ClosePage(static_cast<int>(added - OpenModels->begin()));
            if (shownBefore >= 0 && shownBefore < tabModels->count() && shownBefore != tabModels->currentIndex())
                tabModels->setCurrentIndex(shownBefore);
        } else {
            Diagram_->Rebuild();
            Diagram_->RefreshExplorerTree();
        }
        throw;
    }
    tabModels->setTabText(tabModels->currentIndex(), EscapeAmpersands(CurrentModel->Name));
    Preferences->AddRecentFile(fileName);
    RebuildReopenMenu();
    FitSurfaceToModel();
    pbox->update();
}

namespace {

// The diagram file the user picks for Open and Merge, or an empty name.
QString ChooseDiagramFile()
{
    TFileDialogOptions options;
    options.Filter = XmlFilter;
    options.DefaultExt = QStringLiteral("xml");
    const QString name = UserInterface().OpenFileName(options);
    // The dialog's area is repainted before the load keeps the loop busy.
    if (!name.isEmpty())
        QCoreApplication::processEvents();
    return name;
}

} // namespace

void Tfrmgui::actOpenExecute()
{
    const QString name = ChooseDiagramFile();
    if (!name.isEmpty())
        OpenModelFile(name, false);
}

void Tfrmgui::actMergeExecute()
{
    const QString name = ChooseDiagramFile();
    if (!name.isEmpty())
        OpenModelFile(name, true);
}

void Tfrmgui::RebuildReopenMenu()
{
    mnuReopen->clear();
    for (const QString &name : Preferences->PreviousFiles) {
        QAction *item = mnuReopen->addAction(EscapeAmpersands(name));
        item->setData(name);
        connect(item, &QAction::triggered, this, [this, item] { Guarded([this, item] { ReopenMenuItemClick(item); }); });
    }
}

void Tfrmgui::ReopenMenuItemClick(QAction *sender)
{
    if (sender)
        OpenModelFile(sender->data().toString(), false);
}

// ---------------------------------------------------------------------------
// Saving, pictures and layout

bool Tfrmgui::ConfirmReplace(const QString &fileName)
{
    if (!QFileInfo::exists(fileName))
        return true;
    return UserInterface().ConfirmOkCancel(QStringLiteral("File with name ") + fileName +
                                           QStringLiteral(" already exists. \r\nContinue and replace file?"));
}

bool Tfrmgui::SaveModelAs()
{
    if (!CurrentModel)
        return false;
    TFileDialogOptions options;
    options.Filter = XmlFilter;
    options.DefaultExt = QStringLiteral("xml");
    options.FileName = CurrentModel->Name;
    const QString name = UserInterface().SaveFileName(options);
    if (name.isEmpty())
        return false;
    // The page takes the new name only once the user agreed to replace the
    // file: a page whose replace was declined must not be saved over it later.
    if (!ConfirmReplace(name))
        return false;
    TDiagramObjectModel *model = CurrentModel;
    const QString previous = model->FileName;
    model->FileName = name;
    try {
        // Also records the file as the most recent one.
        model->SaveModelToFile(true);
    } catch (...) {
        // Nothing was written there: the page still belongs to its old file.
        model->FileName = previous;
        throw;
    }
    return true;
}

void Tfrmgui::actSaveAsExecute()
{
    SaveModelAs();
    // The file just saved belongs in the Reopen menu at once.
    RebuildReopenMenu();
}

void Tfrmgui::actSaveExecute()
{
    if (!CurrentModel)
        return;
    if (!CurrentModel->FileName.isEmpty())
        CurrentModel->SaveModelToFile(true);
    else
        SaveModelAs();
    RebuildReopenMenu();
}

void Tfrmgui::actSaveAsPictureExecute()
{
    TFileDialogOptions options;
    options.Filter = TPictureFormats::SaveFilter();
    options.DefaultExt = QStringLiteral("gif");
    options.FileName = ProposedPictureName(CurrentModel ? CurrentModel->Name : QString());
    int chosenFilter = 0;
    const QString typed = UserInterface().SaveFileName(options, &chosenFilter);
    // The kind the user chose names a file typed without an extension; a typed one decides.
    const QString name = SavedFileName(typed, options, chosenFilter);
    if (name.isEmpty() || !ConfirmReplace(name))
        return;
    {
        THourglass hourglass;
        // Long GIF work tells its stages in the status bar until it ends.
        TPictureExport::GifProgress() = [this](gif::TProgressStage stage, int percent, const std::string &text) {
            ShowPictureProgress(stage == gif::TProgressStage::psEnding
                                    ? QString()
                                    : QStringLiteral("%1 %2%").arg(QString::fromStdString(text)).arg(percent));
        };
        const auto quiet = qScopeGuard([this] {
            TPictureExport::GifProgress() = nullptr;
            ShowPictureProgress(QString());
        });
        Diagram_->SaveAsImage(name);
    }
    if (!TShell::OpenDocument(name))
        ShowWhereSaved(QStringLiteral("picture"), name);
}

QString Tfrmgui::ProposedPictureName(const QString &pageName)
{
    // A page name that does not end in a picture's extension ("New Model.1") would be
    // refused once accepted, since the dialog adds its default only to a name without a dot.
    if (pageName.isEmpty() || TPictureExport::IsPictureName(pageName))
        return pageName;
    return pageName + QStringLiteral(".gif");
}

void Tfrmgui::ShowPictureProgress(const QString &text)
{
    QLabel *panel = Panels_[1];
    if (!panel)
        return;
    // The object count steps aside while the work runs and comes back after.
    if (!ShowingProgress_)
        TextBeforeProgress_ = panel->text();
    ShowingProgress_ = !text.isEmpty();
    panel->setText(ShowingProgress_ ? text : TextBeforeProgress_);
    // The work runs on this thread: paint now, not when it is over.
    panel->repaint();
}

void Tfrmgui::PrintSetupExecute()
{
    if (Diagram_->PrintSetup(this))
        Diagram_->Rebuild();
}

void Tfrmgui::actLayoutDiagramExecute()
{
    if (UserInterface().ConfirmOkCancel(QStringLiteral("Continue and layout the current diagram?")))
        Diagram_->LayoutDiagram();
}

void Tfrmgui::actGenerateModelDDLExecute()
{
    if (CurrentModel)
        TSqlWindows::ShowScript(CurrentModel->BuildModelDdl());
}

void Tfrmgui::actGenDeltaDDLExecute()
{
    if (!THelpers::IsConnected())
        throw ENotConnected();
    if (!CurrentModel)
        return;
    QString text = CurrentModel->BuildDatabaseDeltaDdl();
    if (text.trimmed().isEmpty())
        text = QStringLiteral("/* no differences found */");
    TSqlWindows::ShowScript(text.split(QRegularExpression(QStringLiteral("\\r?\\n"))));
}

// ---------------------------------------------------------------------------
// Program and view

void Tfrmgui::actExitExecute()
{
    if (DatabaseSession)
        DatabaseSession->Disconnect();
    // Not quit(): that would close the window and store the preferences.
    QCoreApplication::exit(0);
}

void Tfrmgui::actConsoleExecute()
{
    if (ConsoleForm)
        ConsoleForm->setVisible(Action(QStringLiteral("actConsole"))->isChecked());
}

void Tfrmgui::actFullScreenExecute()
{
    QAction *action = Action(QStringLiteral("actFullScreen"));
    // By position, not by name: two pages may carry the same name.
    const int page = tabModels->currentIndex();
    // The action's check has already flipped: checked now means entering.
    if (action->isChecked()) {
        FullScreenBounds_ = geometry();
        showFullScreen();
    } else {
        showNormal();
        setGeometry(FullScreenBounds_);
    }
    if (page >= 0 && page < tabModels->count()) {
        tabModels->setCurrentIndex(page);
        SelectModelTab(page);
    }
}

// ---------------------------------------------------------------------------
// Other programs

namespace {

void Start(const TProgramStart &start, const QString &what)
{
    if (!TShell::StartProgram(start))
        throw std::runtime_error(("Cannot start " + what + ".").toStdString());
}

} // namespace

void Tfrmgui::actNewInstanceExecute()
{
    TProgramStart start;
    start.Program = QCoreApplication::applicationFilePath();
    Start(start, start.Program);
}

void Tfrmgui::actCloneInstanceExecute()
{
    TProgramStart start;
    start.Program = QCoreApplication::applicationFilePath();
    // The new instance logs on with these values; they travel in its
    // environment so the password is never on a command line.
    if (THelpers::IsConnected())
        start.Environment.insert(QStringLiteral("MARROWTIDE_LOGON"),
                                 DatabaseSession->GetUsername() + QLatin1Char('/') + DatabaseSession->GetPassword() +
                                     QLatin1Char('@') + DatabaseSession->GetDatabase());
    Start(start, start.Program);
}

void Tfrmgui::actSQLPlusExecute()
{
    // SQL*Plus runs in a terminal of the desktop's choosing. It is given the
    // user and database only and asks for the password itself, so the password
    // is never on a command line another user could read.
    TProgramStart start;
    start.Program = QStringLiteral("x-terminal-emulator");
    start.Arguments = {QStringLiteral("-e"), QStringLiteral("sqlplus")};
    if (THelpers::IsConnected())
        start.Arguments << DatabaseSession->GetUsername() + QLatin1Char('@') + DatabaseSession->GetDatabase();
    // A terminal whose program is missing closes before the user can read why.
    const auto cannot = [](const QString &why) {
        return std::runtime_error(("Cannot start sqlplus: " + why).toStdString());
    };
    const QString terminal = QStringLiteral("the terminal program ") + start.Program;
    if (TShell::FindProgram(start.Program).isEmpty())
        throw cannot(terminal + QStringLiteral(" was not found on the PATH."));
    if (TShell::FindProgram(QStringLiteral("sqlplus")).isEmpty())
        throw cannot(QStringLiteral("the program sqlplus was not found on the PATH."));
    if (!TShell::StartProgram(start))
        throw cannot(terminal + QStringLiteral(" could not be started."));
}

void Tfrmgui::actShowIniFileExecute()
{
    if (!THelpers::IsConnected())
        throw ENotConnected();
    const QString path = DatabaseSession->GetTnsNamesPath();
    if (path.isEmpty() || !QFileInfo::exists(path))
        throw std::runtime_error(("File not found: " + path).toStdString());
    if (!TShell::OpenDocument(path))
        throw std::runtime_error(("Cannot open " + path + ".").toStdString());
}

// ---------------------------------------------------------------------------
// Dialogs

void Tfrmgui::actFindExecute()
{
    // Each command makes a dialog of its own; the window keeps them until it goes.
    auto *find = new TfrmFind(this);
    find->ShowModelExplorer = [this] { pgcNavigator->setCurrentIndex(1); };
    find->show();
    // A tool window is not activated by showing it; the user types at once.
    find->raise();
    find->activateWindow();
}

void Tfrmgui::actRenameDiagramExecute()
{
    if (!CurrentModel)
        return;
    TfrmRename dialog(this);
    dialog.edtName->setText(CurrentModel->Name);
    dialog.memComment->setPlainText(CurrentModel->Comment);
    if (dialog.Execute() != QDialog::Accepted)
        return;
    const int index = tabModels->currentIndex();
    tabModels->setTabText(index, EscapeAmpersands(dialog.edtName->text()));
    CurrentModel->Name = dialog.edtName->text();
    CurrentModel->Comment = dialog.memComment->toPlainText();
    Diagram_->RefreshExplorerTree();
}
