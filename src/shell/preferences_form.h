#pragma once
// TfrmPreferences: the preferences dialog. Pages register by caption and class;
// the dialog lists them in a tree, creates each the first time it is chosen and
// lets every created page store its controls on OK and Apply.
#include <QDialog>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QStackedLayout;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class TPreferences;
class IPreferencePage;

// A registered page: the class that makes it and the caption of its tree node.
struct TPrefPageItem {
    QString ClassName;
    QString Caption;
};

using TPreferencePageFactory = std::function<QWidget *(QWidget *owner)>;

class TfrmPreferences : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPreferences(QWidget *owner = nullptr);
    ~TfrmPreferences() override;

    // Registers a page class under its caption; a class registered before is ignored.
    static void RegisterPreferencePage(const QString &caption, const QString &className,
                                       TPreferencePageFactory factory);
    template <class TPage>
    static void RegisterPreferencePage(const QString &caption)
    {
        RegisterPreferencePage(caption, QString::fromLatin1(TPage::staticMetaObject.className()),
                               [](QWidget *owner) { return new TPage(owner); });
    }
    // The registered pages in registration order (the program's own four first).
    static const QList<TPrefPageItem> &PreferencePages();

    // Shows the dialog modally; tests answer it instead.
    int Execute();
    static std::function<int(TfrmPreferences &)> ModalHook;

    void BuildPageTree();
    QString SelectFirstPage();
    QWidget *GetPage(const QString &className);
    void ShowPage(QWidget *page);
    void ApplyPages();
    void PageChanged();

    void btnOKClick();
    void btnApplyClick();
    void btnResetClick();

    // The pages created so far, in the order they were first shown.
    QList<QWidget *> CreatedPages() const;
    QWidget *CurrentPage() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void tvwPagesChange(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    // Loads a page's controls, from the restored defaults while a reset waits for OK or Apply.
    void LoadPage(IPreferencePage *page);

    QTreeWidget *tvwPages = nullptr;
    QLabel *lblPage = nullptr;
    QWidget *pnlMain = nullptr;
    QStackedLayout *PageStack_ = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnApply = nullptr;
    QPushButton *btnCancel = nullptr;
    QPushButton *btnReset = nullptr;
    QList<QPair<QString, QWidget *>> CreatedPages_;
    // The defaults a pressed Restore Defaults shows until OK or Apply stores them.
    std::unique_ptr<TPreferences> RestoredDefaults_;
    bool Shown_ = false;
    bool SelectingPage_ = false;
};
