#include "dbtools/console_helper.h"

#include "platform/user_interface.h"

#include <exception>

namespace {
IConsoleSink *consoleSink = nullptr;
}

void TConsoleHelper::SetSink(IConsoleSink *sink) { consoleSink = sink; }

IConsoleSink *TConsoleHelper::Sink() { return consoleSink; }

void TConsoleHelper::WriteLine(const QString &text)
{
    if (!consoleSink)
        return;
    try {
        consoleSink->AddLine(text);
    } catch (const std::exception &e) {
        UserInterface().ShowError(QStringLiteral("Error writing to console: ") +
                                  QString::fromUtf8(e.what()));
    }
}
