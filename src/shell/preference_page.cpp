#include "shell/preference_page.h"

#include <QMetaMethod>

TfrmBasePreferencePage::TfrmBasePreferencePage(QWidget *owner) : QWidget(owner) {}

void TfrmBasePreferencePage::LoadPreferences()
{
    if (!Preferences_)
        return;
    const bool wasLoading = Loading_;
    Loading_ = true;
    try {
        DoLoadPreferences();
    } catch (...) {
        Loading_ = wasLoading;
        throw;
    }
    Loading_ = wasLoading;
}

void TfrmBasePreferencePage::SavePreferences()
{
    if (Preferences_)
        DoSavePreferences();
}

void TfrmBasePreferencePage::Changed()
{
    if (!Loading_ && OnChange_)
        OnChange_(this);
}

void TfrmBasePreferencePage::Reload()
{
    if (isSignalConnected(QMetaMethod::fromSignal(&TfrmBasePreferencePage::ReloadRequested)))
        emit ReloadRequested();
    else
        LoadPreferences();
}
