#include "shell/preferences_form.h"

#include "canvas/os_diagram.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "platform/user_interface.h"
#include "shell/desktop_pref.h"
#include "shell/graphic_style_pref.h"
#include "shell/preference_page.h"
#include "shell/printer_prefs.h"
#include "shell/tool_pref.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QStackedLayout>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString RootCaption = QStringLiteral("Application");
constexpr int ClassNameRole = Qt::UserRole + 1;
// The registered name a page was made under.
const char *const PageClassProperty = "preferencePageClass";

struct TPageRegistry {
    QList<TPrefPageItem> Items;
    QMap<QString, TPreferencePageFactory> Factories;
};

TPageRegistry &RawRegistry()
{
    static TPageRegistry registry;
    return registry;
}

void RegisterItem(const QString &caption, const QString &className, TPreferencePageFactory factory)
{
    TPageRegistry &registry = RawRegistry();
    if (registry.Factories.contains(className))
        return;
    registry.Factories.insert(className, std::move(factory));
    registry.Items.append({className, caption});
}

template <class TPage>
void RegisterStandard(const QString &caption)
{
    RegisterItem(caption, QString::fromLatin1(TPage::staticMetaObject.className()),
                 [](QWidget *owner) { return new TPage(owner); });
}

// The program's pages come first, in this order, whoever asks first.
TPageRegistry &Registry()
{
    static const bool standardPages = [] {
        RegisterStandard<TfrmDesktopPref>(QStringLiteral("Desktop"));
        RegisterStandard<TfrmGraphicStylePref>(QStringLiteral("Graphics Style"));
        RegisterStandard<TfrmToolPref>(QStringLiteral("Tools"));
        RegisterStandard<TfrmPrinterPrefs>(QStringLiteral("Printing"));
        return true;
    }();
    (void)standardPages;
    return RawRegistry();
}

// The fields the pages edit, so a page can show the restored defaults.
std::unique_ptr<TPreferences> DefaultsOf(const TPreferences &source)
{
    auto copy = std::make_unique<TPreferences>();
    copy->FileName = source.FileName;
    copy->SaveOnExit = source.SaveOnExit;
    copy->DoubleBufferPanel = source.DoubleBufferPanel;
    copy->OptimizerChoose = source.OptimizerChoose;
    copy->DefaultStyle.Assign(source.DefaultStyle);
    copy->Tools.Assign(source.Tools);
    copy->PrintOrientation = source.PrintOrientation;
    copy->DrawPrinterPages = source.DrawPrinterPages;
    copy->DrawPrinterPageNumber = source.DrawPrinterPageNumber;
    copy->SetDefaults();
    return copy;
}

QPushButton *MakeButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

void TfrmPreferences::RegisterPreferencePage(const QString &caption, const QString &className,
                                             TPreferencePageFactory factory)
{
    Registry();
    RegisterItem(caption, className, std::move(factory));
}

const QList<TPrefPageItem> &TfrmPreferences::PreferencePages() { return Registry().Items; }

TfrmPreferences::TfrmPreferences(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmPreferences"));
    setWindowTitle(QStringLiteral("Edit Preferences"));
    setFixedSize(463, 383);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(4, 4, 4, 0);
    auto *pnlLeft = new QWidget(this);
    pnlLeft->setObjectName(QStringLiteral("pnlLeft"));
    pnlLeft->setFixedWidth(138);
    auto *leftLayout = new QVBoxLayout(pnlLeft);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    tvwPages = new QTreeWidget(pnlLeft);
    tvwPages->setObjectName(QStringLiteral("tvwPages"));
    tvwPages->setHeaderHidden(true);
    tvwPages->setEditTriggers(QAbstractItemView::NoEditTriggers);
    leftLayout->addWidget(tvwPages);
    body->addWidget(pnlLeft);

    auto *right = new QVBoxLayout;
    auto *band = new QFrame(this);
    band->setObjectName(QStringLiteral("shpTitleBand"));
    band->setAutoFillBackground(true);
    QPalette bandPalette = band->palette();
    bandPalette.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    bandPalette.setColor(QPalette::WindowText, Qt::white);
    band->setPalette(bandPalette);
    band->setFixedHeight(26);
    auto *bandLayout = new QHBoxLayout(band);
    bandLayout->setContentsMargins(8, 0, 8, 0);
    lblPage = new QLabel(QStringLiteral("Page Name"), band);
    lblPage->setObjectName(QStringLiteral("lblPage"));
    QFont bold = lblPage->font();
    bold.setBold(true);
    lblPage->setFont(bold);
    bandLayout->addWidget(lblPage);
    right->addWidget(band);
    pnlMain = new QWidget(this);
    pnlMain->setObjectName(QStringLiteral("pnlMain"));
    PageStack_ = new QStackedLayout(pnlMain);
    PageStack_->setContentsMargins(0, 0, 0, 0);
    right->addWidget(pnlMain, 1);
    body->addLayout(right, 1);
    outer->addLayout(body, 1);

    auto *pnlBottom = new QWidget(this);
    pnlBottom->setObjectName(QStringLiteral("pnlBottom"));
    auto *buttons = new QHBoxLayout(pnlBottom);
    btnReset = MakeButton(pnlBottom, "btnReset", QStringLiteral("Restore Defaults"));
    btnOK = MakeButton(pnlBottom, "btnOK", QStringLiteral("OK"));
    btnOK->setDefault(true);
    btnApply = MakeButton(pnlBottom, "btnApply", QStringLiteral("Apply"));
    btnApply->setEnabled(false);
    btnCancel = MakeButton(pnlBottom, "btnCancel", QStringLiteral("Cancel"));
    buttons->addWidget(btnReset);
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnApply);
    buttons->addWidget(btnCancel);
    outer->addWidget(pnlBottom);

    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(btnApply, &QPushButton::clicked, this, [this] { btnApplyClick(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnReset, &QPushButton::clicked, this, [this] { btnResetClick(); });
    connect(tvwPages, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current, QTreeWidgetItem *previous) { tvwPagesChange(current, previous); });
}

TfrmPreferences::~TfrmPreferences() = default;

std::function<int(TfrmPreferences &)> TfrmPreferences::ModalHook;

int TfrmPreferences::Execute() { return ModalHook ? ModalHook(*this) : exec(); }

void TfrmPreferences::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!Shown_) {
        Shown_ = true;
        ShowExceptions([this] { FormShow(); });
    }
}

void TfrmPreferences::FormShow()
{
    BuildPageTree();
    ShowPage(GetPage(SelectFirstPage()));
}

void TfrmPreferences::BuildPageTree()
{
    const QSignalBlocker blocker(tvwPages);
    tvwPages->clear();
    auto *root = new QTreeWidgetItem(tvwPages, {RootCaption});
    for (const TPrefPageItem &item : PreferencePages()) {
        auto *node = new QTreeWidgetItem(root, {item.Caption});
        node->setData(0, ClassNameRole, item.ClassName);
    }
    root->setExpanded(true);
}

QString TfrmPreferences::SelectFirstPage()
{
    QTreeWidgetItem *root = tvwPages->topLevelItem(0);
    QTreeWidgetItem *first = root ? root->child(0) : nullptr;
    if (!first)
        return {};
    SelectingPage_ = true;
    tvwPages->setCurrentItem(first);
    SelectingPage_ = false;
    return first->data(0, ClassNameRole).toString();
}

QWidget *TfrmPreferences::GetPage(const QString &className)
{
    if (className.isEmpty())
        return nullptr;
    for (const auto &created : CreatedPages_) {
        if (created.first == className)
            return created.second;
    }
    const auto factory = Registry().Factories.find(className);
    if (factory == Registry().Factories.end())
        return nullptr;
    QWidget *page = (*factory)(pnlMain);
    page->setProperty(PageClassProperty, className);
    page->hide();
    return page;
}

void TfrmPreferences::ShowPage(QWidget *page)
{
    if (!page)
        return;
    QString className = page->property(PageClassProperty).toString();
    if (className.isEmpty())
        className = QString::fromLatin1(page->metaObject()->className());
    const bool created = std::any_of(CreatedPages_.begin(), CreatedPages_.end(),
                                     [&](const auto &entry) { return entry.first == className; });
    if (!created) {
        CreatedPages_.append({className, page});
        PageStack_->addWidget(page);
        if (auto *preferencePage = dynamic_cast<IPreferencePage *>(page)) {
            preferencePage->SetOnChange([this](QObject *) { PageChanged(); });
            if (auto *basePage = qobject_cast<TfrmBasePreferencePage *>(page))
                connect(basePage, &TfrmBasePreferencePage::ReloadRequested, this,
                        [this, preferencePage] { LoadPage(preferencePage); });
            LoadPage(preferencePage);
        }
        page->setVisible(true);
    }
    PageStack_->setCurrentWidget(page);
    if (QTreeWidgetItem *node = tvwPages->currentItem())
        lblPage->setText(node->text(0));
}

void TfrmPreferences::LoadPage(IPreferencePage *page)
{
    page->SetPreferences(RestoredDefaults_ ? RestoredDefaults_.get() : Preferences);
    page->LoadPreferences();
    page->SetPreferences(Preferences);
}

void TfrmPreferences::tvwPagesChange(QTreeWidgetItem *current, QTreeWidgetItem *previous)
{
    if (SelectingPage_ || !current)
        return;
    // The root is a heading, not a page: the selection stays where it was.
    if (current->text(0) == RootCaption) {
        SelectingPage_ = true;
        tvwPages->setCurrentItem(previous);
        SelectingPage_ = false;
        return;
    }
    ShowExceptions([&] { ShowPage(GetPage(current->data(0, ClassNameRole).toString())); });
}

void TfrmPreferences::PageChanged() { btnApply->setEnabled(true); }

void TfrmPreferences::ApplyPages()
{
    THourglass hourglass;
    if (RestoredDefaults_) {
        // Pages never opened take the defaults too; opened ones store their controls over them.
        Preferences->SetDefaults();
        RestoredDefaults_.reset();
    }
    for (const auto &created : CreatedPages_) {
        if (auto *page = dynamic_cast<IPreferencePage *>(created.second))
            page->SavePreferences();
    }
    btnApply->setEnabled(false);
    Preferences->SavePreferences();
    if (CurrentDiagram) {
        CurrentDiagram->RefreshAll();
        if (CurrentDiagram->Surface)
            CurrentDiagram->Surface->update();
    }
}

void TfrmPreferences::btnOKClick()
{
    bool saved = false;
    // A file that cannot be written leaves the dialog open with the user's edits.
    ShowExceptions([&] {
        ApplyPages();
        saved = true;
    });
    if (saved)
        accept();
}

void TfrmPreferences::btnApplyClick()
{
    ShowExceptions([this] { ApplyPages(); });
}

void TfrmPreferences::btnResetClick()
{
    ShowExceptions([this] {
        RestoredDefaults_ = DefaultsOf(*Preferences);
        for (const auto &created : CreatedPages_) {
            if (auto *page = dynamic_cast<IPreferencePage *>(created.second))
                LoadPage(page);
        }
        PageChanged();
    });
}

QList<QWidget *> TfrmPreferences::CreatedPages() const
{
    QList<QWidget *> pages;
    for (const auto &created : CreatedPages_)
        pages << created.second;
    return pages;
}

QWidget *TfrmPreferences::CurrentPage() const { return PageStack_->currentWidget(); }
