#pragma once
// Texts shown as menu items and tab captions.
#include <QString>

// A single '&' would mark the next letter as a shortcut and vanish.
inline QString EscapeAmpersands(QString text) { return text.replace(QLatin1Char('&'), QLatin1String("&&")); }
