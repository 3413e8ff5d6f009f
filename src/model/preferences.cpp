#include "model/preferences.h"

void (*TPreferences::ApplyPrinterOrientation)(int orientation) = nullptr;
void (*TPreferences::TakeWindowLayout)(TPreferences &preferences) = nullptr;

TPreferences::TPreferences() = default;
TPreferences::~TPreferences() = default;

void TPreferences::SetDefaults()
{
    DefaultStyle.SetDefaultStyle();
    SaveOnExit = true;
}

void TPreferences::AddRecentFile(const QString &fileName)
{
    if (PreviousFiles.contains(fileName, Qt::CaseInsensitive))
        return;
    if (PreviousFiles.size() >= 10)
        PreviousFiles.removeAt(9);
    PreviousFiles.insert(0, fileName);
}

void TPreferences::SetPrintOrientation(int orientation)
{
    PrintOrientation = orientation;
    if (ApplyPrinterOrientation)
        ApplyPrinterOrientation(orientation);
}

QString TPreferences::PrintOrientationToText(int orientation)
{
    return orientation == poPortrait ? QStringLiteral("portrait") : QStringLiteral("landscape");
}

int TPreferences::TextToPrintOrientation(const QString &text)
{
    return text == QLatin1String("portrait") ? poPortrait : poLandscape;
}

void TToolPreferences::Assign(const TToolPreferences &source)
{
    if (&source == this)
        return;
    Items.clear();
    for (const auto &tool : source.Items)
        Add()->Assign(*tool);
}

TToolPreference *TToolPreferences::FindByCaption(const QString &caption) const
{
    for (auto it = Items.rbegin(); it != Items.rend(); ++it) {
        if ((*it)->Caption == caption)
            return it->get();
    }
    return nullptr;
}

TToolPreference *TToolPreferences::Add()
{
    Items.push_back(std::make_unique<TToolPreference>());
    return Items.back().get();
}
