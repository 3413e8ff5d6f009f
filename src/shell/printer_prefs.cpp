#include "shell/printer_prefs.h"

#include "model/preferences.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

TfrmPrinterPrefs::TfrmPrinterPrefs(QWidget *owner) : TfrmBasePreferencePage(owner)
{
    setObjectName(QStringLiteral("frmPrinterPrefs"));
    auto *layout = new QVBoxLayout(this);

    rgrpOrientation = new QGroupBox(QStringLiteral("Default Orientation"), this);
    rgrpOrientation->setObjectName(QStringLiteral("rgrpOrientation"));
    auto *orientationLayout = new QVBoxLayout(rgrpOrientation);
    Orientation_ = new QButtonGroup(this);
    const QStringList captions = {QStringLiteral("Portrait"), QStringLiteral("Landscape")};
    for (int i = 0; i < captions.size(); ++i) {
        auto *radio = new QRadioButton(captions[i], rgrpOrientation);
        radio->setObjectName(QStringLiteral("rbOrientation%1").arg(i));
        Orientation_->addButton(radio, i);
        orientationLayout->addWidget(radio);
    }
    layout->addWidget(rgrpOrientation);

    auto *options = new QGroupBox(QStringLiteral("Options"), this);
    options->setObjectName(QStringLiteral("grpOptions"));
    auto *optionsLayout = new QVBoxLayout(options);
    chkShowPrinterPages = new QCheckBox(QStringLiteral("Show printer pages on diagram"), options);
    chkShowPrinterPages->setObjectName(QStringLiteral("chkShowPrinterPages"));
    chkShowPageNums = new QCheckBox(QStringLiteral("Show printer page numbers"), options);
    chkShowPageNums->setObjectName(QStringLiteral("chkShowPageNums"));
    chkShowPageNums->setEnabled(false);
    optionsLayout->addWidget(chkShowPrinterPages);
    optionsLayout->addWidget(chkShowPageNums);
    layout->addWidget(options);
    layout->addStretch();

    connect(Orientation_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            Changed();
    });
    connect(chkShowPrinterPages, &QCheckBox::toggled, this, [this] {
        if (!Loading())
            chkShowPrinterPagesClick();
    });
    connect(chkShowPageNums, &QCheckBox::toggled, this, [this](bool checked) {
        if (Loading() || !chkShowPageNums->isEnabled())
            return;
        PageNumbers_ = checked;
        Changed();
    });
}

void TfrmPrinterPrefs::DoLoadPreferences()
{
    const TPreferences &preferences = *EditedPreferences();
    chkShowPrinterPages->setChecked(preferences.DrawPrinterPages);
    PageNumbers_ = preferences.DrawPrinterPageNumber;
    chkShowPageNums->setEnabled(chkShowPrinterPages->isChecked());
    chkShowPageNums->setChecked(chkShowPageNums->isEnabled() && PageNumbers_);
    Orientation_->button(preferences.PrintOrientation == poLandscape ? 1 : 0)->setChecked(true);
}

void TfrmPrinterPrefs::DoSavePreferences()
{
    TPreferences &preferences = *EditedPreferences();
    preferences.DrawPrinterPages = chkShowPrinterPages->isChecked();
    preferences.SetPrintOrientation(Orientation_->checkedId() == 1 ? poLandscape : poPortrait);
    preferences.DrawPrinterPageNumber = PageNumbers_;
}

void TfrmPrinterPrefs::chkShowPrinterPagesClick()
{
    Changed();
    const bool enabled = chkShowPrinterPages->isChecked();
    if (!enabled) {
        // Turning the pages off turns their numbers off with them.
        chkShowPageNums->setEnabled(false);
        chkShowPageNums->setChecked(false);
        PageNumbers_ = false;
    } else {
        // The box comes back unchecked; what it shows is what OK stores.
        chkShowPageNums->setEnabled(true);
        PageNumbers_ = chkShowPageNums->isChecked();
    }
}
