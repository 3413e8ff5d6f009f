#include "dbtools/compare_models_wizard.h"

#include "dbtools/sql_query_form.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "platform/user_interface.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

const char *const TfrmCompareModelsWizard::NoDifferences = "/* no differences found */";

namespace {

// The five comment lines every delta script begins with.
constexpr int HeaderLines = 5;

QString ModelCaption(int index, const TDiagramObjectModel &model)
{
    QString caption = QString::number(index + 1) + QStringLiteral(": ") + model.Name;
    if (!model.FileName.isEmpty())
        caption += QStringLiteral("  (") + QFileInfo(model.FileName).fileName() + QLatin1Char(')');
    return caption;
}

} // namespace

TfrmCompareModelsWizard::TfrmCompareModelsWizard(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCompareModelsWizard"));
    setWindowTitle(QStringLiteral("Compare Models"));
    resize(520, 180);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    cboOriginal = new QComboBox;
    cboOriginal->setObjectName(QStringLiteral("cboOriginal"));
    cboTarget = new QComboBox;
    cboTarget->setObjectName(QStringLiteral("cboTarget"));
    if (OpenModels) {
        for (size_t i = 0; i < OpenModels->size(); ++i) {
            const QString caption = ModelCaption(static_cast<int>(i), *(*OpenModels)[i]);
            cboOriginal->addItem(caption);
            cboTarget->addItem(caption);
        }
    }
    cboTarget->addItem(QStringLiteral("Diagram file..."));
    // The current page against the next one is the likely question.
    int current = 0;
    if (OpenModels) {
        for (size_t i = 0; i < OpenModels->size(); ++i)
            if ((*OpenModels)[i].get() == CurrentModel)
                current = static_cast<int>(i);
    }
    cboOriginal->setCurrentIndex(current);
    cboTarget->setCurrentIndex(cboOriginal->count() > 1 ? (current + 1) % cboOriginal->count() : cboOriginal->count());
    auto *fileRow = new QHBoxLayout;
    edtTargetFile = new QLineEdit;
    edtTargetFile->setObjectName(QStringLiteral("edtTargetFile"));
    btnBrowse = new QPushButton(QStringLiteral("&Browse..."));
    btnBrowse->setObjectName(QStringLiteral("btnBrowse"));
    fileRow->addWidget(edtTargetFile);
    fileRow->addWidget(btnBrowse);
    form->addRow(QStringLiteral("&Original model:"), cboOriginal);
    form->addRow(QStringLiteral("&Target model:"), cboTarget);
    // A row that is a layout gets a label without a buddy, which shows its "&" as it is.
    auto *fileLabel = new QLabel(QStringLiteral("Target &file:"));
    fileLabel->setBuddy(edtTargetFile);
    form->addRow(fileLabel, fileRow);
    layout->addLayout(form);
    layout->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    btnOK = new QPushButton(QStringLiteral("&Compare"));
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);

    connect(cboTarget, &QComboBox::currentIndexChanged, this, &TfrmCompareModelsWizard::cboTargetChange);
    connect(btnBrowse, &QPushButton::clicked, this, &TfrmCompareModelsWizard::btnBrowseClick);
    connect(btnOK, &QPushButton::clicked, this, [this] { ShowExceptions([this] { btnOKClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    cboTargetChange();
}

TfrmCompareModelsWizard::~TfrmCompareModelsWizard() = default;

bool TfrmCompareModelsWizard::TargetIsFile() const { return cboTarget->currentIndex() == cboTarget->count() - 1; }

void TfrmCompareModelsWizard::cboTargetChange()
{
    edtTargetFile->setEnabled(TargetIsFile());
    btnBrowse->setEnabled(TargetIsFile());
}

void TfrmCompareModelsWizard::btnBrowseClick()
{
    TFileDialogOptions options;
    options.Caption = QStringLiteral("Target Diagram");
    options.Filter = QStringLiteral("Diagram files (*.xml)|*.xml|All files (*.*)|*.*");
    options.DefaultExt = QStringLiteral("xml");
    const QString fileName = UserInterface().OpenFileName(options);
    if (!fileName.isEmpty())
        edtTargetFile->setText(fileName);
}

QString TfrmCompareModelsWizard::BuildComparison(const TDiagramObjectModel &original,
                                                 const TDiagramObjectModel &target)
{
    const QString script = original.BuildDeltaDdl(target);
    if (script.section(QStringLiteral("\r\n"), HeaderLines).trimmed().isEmpty())
        return QString::fromLatin1(NoDifferences);
    return script;
}

void TfrmCompareModelsWizard::btnOKClick()
{
    if (!OpenModels || cboOriginal->currentIndex() < 0)
        return;
    const TDiagramObjectModel &original = *(*OpenModels)[cboOriginal->currentIndex()];
    if (!TargetIsFile()) {
        Script_ = BuildComparison(original, *(*OpenModels)[cboTarget->currentIndex()]);
    } else {
        const QString fileName = edtTargetFile->text().trimmed();
        if (fileName.isEmpty()) {
            UserInterface().ShowError(QStringLiteral("Choose the diagram file to compare with."));
            return;
        }
        if (!QFileInfo(fileName).isFile()) {
            UserInterface().ShowError(QStringLiteral("File not found: ") + fileName);
            return;
        }
        TDiagramObjectModel target;
        {
            THourglass hourglass;
            target.LoadModelFromFile(CurrentDiagram, false, fileName);
        }
        Script_ = BuildComparison(original, target);
    }
    TfrmSQLQuery *form = TfrmSQLQuery::Create();
    form->SetScriptMode(true);
    form->SetSQLText(Script_);
    accept();
}
