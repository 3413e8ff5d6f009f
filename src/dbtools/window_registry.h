#pragma once
// IWindowRegistry: the main window's list of open tool windows, reached by the
// tool windows of the lower layers without knowing the main window.
#include <QString>

class QWidget;

class IWindowRegistry {
public:
    virtual ~IWindowRegistry() = default;
    // Lists the window under its current caption.
    virtual void RegisterOpenWindow(QWidget *form) = 0;
    // Removes every entry of that window.
    virtual void UnregisterOpenWindow(QWidget *form) = 0;
    // The number a new tool window puts in its caption: the entry count + 1.
    virtual int NextWindowNumber() const = 0;
};

struct TWindowRegistry {
    // Installed by the main window while it exists; null otherwise.
    static IWindowRegistry *Current;
};
