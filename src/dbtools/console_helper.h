#pragma once
// TConsoleHelper: the one way every layer writes lines to the console window.
#include <QString>

// Whatever shows the console's lines; the console window installs itself.
class IConsoleSink {
public:
    virtual ~IConsoleSink() = default;
    virtual void AddLine(const QString &text) = 0;
};

class TConsoleHelper {
public:
    TConsoleHelper() = delete;

    // Hands the text to the console when one exists; lines written before it
    // exists are dropped. A failure is shown as a message, never raised.
    static void WriteLine(const QString &text);
    static void WriteMessage(const QString &text) { WriteLine(text); }

    // Installed by the console window while it exists; null otherwise.
    static void SetSink(IConsoleSink *sink);
    static IConsoleSink *Sink();
};
