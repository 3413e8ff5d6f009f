#include "platform/qt_user_interface.h"
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QRegularExpression>

#include <algorithm>

QWidget *TQtUserInterface::DialogParent() { return QApplication::activeWindow(); }

void TQtUserInterface::PlaceDialog(QWidget &dialog)
{
    const QWidget *owner = dialog.parentWidget() ? dialog.parentWidget()->window() : nullptr;
    if (owner && !owner->isVisible())
        owner = nullptr;
    const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    QRect placed(QPoint(), dialog.frameGeometry().size());
    placed.moveCenter(owner ? owner->frameGeometry().center() : available.center());
    // Wholly on the screen, its top-left corner first.
    placed.moveRight(qMin(placed.right(), available.right()));
    placed.moveBottom(qMin(placed.bottom(), available.bottom()));
    placed.moveLeft(qMax(placed.left(), available.left()));
    placed.moveTop(qMax(placed.top(), available.top()));
    dialog.move(placed.topLeft());
}

namespace {

// A message box knows its size only once it is shown: it is placed then,
// before the window system maps it.
class TPlacedMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        TQtUserInterface::PlaceDialog(*this);
    }
};

QMessageBox::StandardButton RunMessageBox(QWidget *parent, QMessageBox::Icon icon, const QString &caption,
                                          const QString &text, QMessageBox::StandardButtons buttons,
                                          QMessageBox::StandardButton defaultButton)
{
    TPlacedMessageBox box(icon, caption, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

QString TQtUserInterface::QtFileFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // Qt shows the description with the patterns it filters by in parentheses.
        static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)$"));
        description.remove(trailingPatterns);
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt takes the patterns from the parentheses of the description; the lower-case
        // pattern is added so "*.EXE" also finds "tool.exe" on a case-sensitive file system.
        QStringList list = patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QStringList all = list;
        for (const QString &p : list) {
            if (!all.contains(p.toLower()))
                all << p.toLower();
        }
        entries << description + QLatin1String(" (") + all.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    if (entries.isEmpty() && !filter.isEmpty())
        entries << filter;
    return entries.join(QLatin1String(";;"));
}

void TQtUserInterface::ShowInformation(const QString &text, const QString &caption)
{
    RunMessageBox(DialogParent(), QMessageBox::Information, caption.isEmpty() ? Title_ : caption, text,
                  QMessageBox::Ok, QMessageBox::Ok);
}

void TQtUserInterface::ShowWarning(const QString &text, const QString &caption)
{
    RunMessageBox(DialogParent(), QMessageBox::Warning, caption.isEmpty() ? QStringLiteral("Warning") : caption, text,
                  QMessageBox::Ok, QMessageBox::Ok);
}

void TQtUserInterface::ShowError(const QString &text, const QString &caption)
{
    RunMessageBox(DialogParent(), QMessageBox::Critical, caption.isEmpty() ? QStringLiteral("Error") : caption, text,
                  QMessageBox::Ok, QMessageBox::Ok);
}

bool TQtUserInterface::ConfirmOkCancel(const QString &text, const QString &caption)
{
    return RunMessageBox(DialogParent(), QMessageBox::Question, caption.isEmpty() ? QStringLiteral("Confirm") : caption,
                         text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
           == QMessageBox::Ok;
}

bool TQtUserInterface::AskYesNo(const QString &text, const QString &caption)
{
    return RunMessageBox(DialogParent(), QMessageBox::Question, caption.isEmpty() ? QStringLiteral("Confirm") : caption,
                         text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
           == QMessageBox::Yes;
}

void TQtUserInterface::BeginHourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void TQtUserInterface::EndHourglass() { QApplication::restoreOverrideCursor(); }

namespace {

QString RunFileDialog(QWidget *parent, const TFileDialogOptions &options, QFileDialog::AcceptMode mode,
                      int *chosenFilter = nullptr)
{
    QFileDialog dialog(parent, options.Caption, options.InitialDir, TQtUserInterface::QtFileFilter(options.Filter));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The callers ask their own replace question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // Saving, the extension follows the filter entry chosen when the dialog closes: Qt's
    // one default suffix would name a file of another kind than the user picked.
    if (!options.DefaultExt.isEmpty() && mode == QFileDialog::AcceptOpen)
        dialog.setDefaultSuffix(options.DefaultExt);
    if (!options.FileName.isEmpty())
        dialog.selectFile(options.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (mode == QFileDialog::AcceptOpen)
        return dialog.selectedFiles().constFirst();
    const int filter = std::max(0, int(dialog.nameFilters().indexOf(dialog.selectedNameFilter())));
    if (chosenFilter)
        *chosenFilter = filter;
    return SavedFileName(dialog.selectedFiles().constFirst(), options, filter);
}

} // namespace

QString TQtUserInterface::OpenFileName(const TFileDialogOptions &options)
{
    return RunFileDialog(DialogParent(), options, QFileDialog::AcceptOpen);
}

QString TQtUserInterface::SaveFileName(const TFileDialogOptions &options, int *chosenFilter)
{
    return RunFileDialog(DialogParent(), options, QFileDialog::AcceptSave, chosenFilter);
}

QString TQtUserInterface::ChooseFolder(const QString &caption, const QString &initialDir)
{
    return QFileDialog::getExistingDirectory(DialogParent(), caption, initialDir);
}

bool TQtUserInterface::ChooseFont(TFont &font)
{
    bool ok = false;
    QFont qfont = font.ToQFont();
    // The dialog shows and returns point sizes; the font is shown at its size in points.
    qfont.setPointSize(font.Size > 0 ? font.Size : 8);
    const QFont chosen = QFontDialog::getFont(&ok, qfont, DialogParent());
    if (!ok)
        return false;
    font.AssignQFont(chosen);
    // Qt's font dialog has no colour: the colour is asked right after; a
    // cancelled colour keeps the font's colour and the chosen font.
    const QColor colour = QColorDialog::getColor(ColorToQColor(font.Color), DialogParent(),
                                                 QStringLiteral("Font Colour"));
    if (colour.isValid())
        font.Color = QColorToColor(colour);
    return true;
}

bool TQtUserInterface::ChooseColor(TColor &color)
{
    const QColor chosen = QColorDialog::getColor(ColorToQColor(color), DialogParent());
    if (!chosen.isValid())
        return false;
    color = QColorToColor(chosen);
    return true;
}

bool TQtUserInterface::InputText(const QString &caption, const QString &prompt, QString &value)
{
    bool ok = false;
    const QString text = QInputDialog::getText(DialogParent(), caption, prompt, QLineEdit::Normal, value, &ok);
    if (ok)
        value = text;
    return ok;
}
