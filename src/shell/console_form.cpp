#include "shell/console_form.h"

#include "platform/user_interface.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include "platform/atomic_file.h"
#include <QScreen>
#include <QVBoxLayout>

#include <stdexcept>

TfrmConsole *ConsoleForm = nullptr;

TfrmConsole::TfrmConsole(QWidget *owner)
    // On top of the main window only: a box or dialog the program opens must
    // come above the console, which stay-on-top would not allow.
    : QWidget(owner, Qt::Tool | Qt::WindowSystemMenuHint |
                         Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmConsole"));
    setWindowTitle(QStringLiteral("Console"));
    resize(597, 267);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlTop"));
    auto *top = new QHBoxLayout(panel);
    top->setContentsMargins(4, 4, 4, 4);
    auto *btnClear = new QPushButton(QStringLiteral("Clear"), panel);
    btnClear->setObjectName(QStringLiteral("btnClear"));
    auto *btnSave = new QPushButton(QStringLiteral("&Save"), panel);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    auto *button1 = new QPushButton(QStringLiteral("&Copy"), panel);
    button1->setObjectName(QStringLiteral("Button1"));
    top->addWidget(btnClear);
    top->addWidget(btnSave);
    top->addWidget(button1);
    top->addStretch();
    memConsole = new QPlainTextEdit(this);
    memConsole->setObjectName(QStringLiteral("memConsole"));
    memConsole->setReadOnly(true);
    memConsole->setLineWrapMode(QPlainTextEdit::NoWrap);
    memConsole->setStyleSheet(QStringLiteral("QPlainTextEdit { background: white; color: black; }"));
    memConsole->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memConsole->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel);
    layout->addWidget(memConsole);
    connect(btnClear, &QPushButton::clicked, this, [this] { btnClearClick(); });
    connect(btnSave, &QPushButton::clicked, this, [this] {
        try {
            btnSaveClick();
        } catch (const std::exception &e) {
            UserInterface().ShowError(QString::fromUtf8(e.what()));
        }
    });
    connect(button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    TConsoleHelper::SetSink(this);
}

TfrmConsole::~TfrmConsole()
{
    if (TConsoleHelper::Sink() == this)
        TConsoleHelper::SetSink(nullptr);
    if (ConsoleForm == this)
        ConsoleForm = nullptr;
}

void TfrmConsole::AddLine(const QString &text)
{
    QString normal = text;
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normal.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    memConsole->appendPlainText(normal);
    memConsole->appendPlainText(QString());
}

QStringList TfrmConsole::Lines() const
{
    const QString text = memConsole->toPlainText();
    if (memConsole->document()->isEmpty())
        return {};
    return text.split(QLatin1Char('\n'));
}

void TfrmConsole::SaveToFile(const QString &fileName) const
{
    QByteArray bytes;
    for (const QString &line : Lines())
        bytes += line.toLocal8Bit() + "\r\n";
    const QString reason = TAtomicFile::Write(fileName, bytes);
    if (!reason.isEmpty())
        throw std::runtime_error(("Cannot write file " + fileName + ": " + reason).toStdString());
}

void TfrmConsole::btnClearClick() { memConsole->clear(); }

void TfrmConsole::btnSaveClick()
{
    TFileDialogOptions options;
    options.Filter = QStringLiteral("Text files (*.txt)|*.txt|All files (*.*)|*.*");
    options.DefaultExt = QStringLiteral("txt");
    const QString name = UserInterface().SaveFileName(options);
    if (!name.isEmpty())
        SaveToFile(name);
}

void TfrmConsole::Button1Click()
{
    QApplication::clipboard()->setText(Lines().join(QLatin1String("\r\n")));
}

void TfrmConsole::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (OnVisibilityChosen)
        OnVisibilityChosen(false);
}
