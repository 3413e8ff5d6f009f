#include "dbtools/console_helper.h"

#include "platform/user_interface.h"

#include <QCoreApplication>
#include <QThread>

#include <exception>

namespace {
IConsoleSink *consoleSink = nullptr;
}

void TConsoleHelper::SetSink(IConsoleSink *sink) { consoleSink = sink; }

IConsoleSink *TConsoleHelper::Sink() { return consoleSink; }

void TConsoleHelper::WriteLine(const QString &text)
{
    // A query on a worker thread logs its SQL too; the console is a widget
    // of the main thread, so the line travels there, in order.
    QCoreApplication *app = QCoreApplication::instance();
    if (app && QThread::currentThread() != app->thread()) {
        QMetaObject::invokeMethod(app, [text] { WriteLine(text); }, Qt::QueuedConnection);
        return;
    }
    if (!consoleSink)
        return;
    try {
        consoleSink->AddLine(text);
    } catch (const std::exception &e) {
        UserInterface().ShowError(QStringLiteral("Error writing to console: ") +
                                  QString::fromUtf8(e.what()));
    }
}
