#pragma once
// IPreferencePage: what the preferences dialog asks of a page;
// TfrmBasePreferencePage: the page every preference page derives from.
#include <QWidget>

#include <functional>

class TPreferences;

// Called by a page whenever the user changes one of its controls.
using TPreferenceChangeEvent = std::function<void(QObject *sender)>;

class IPreferencePage {
public:
    virtual ~IPreferencePage() = default;
    virtual void SetOnChange(TPreferenceChangeEvent onChange) = 0;
    // Fills the controls from the preferences without reporting a change.
    virtual void LoadPreferences() = 0;
    // Writes the controls into the preferences.
    virtual void SavePreferences() = 0;
    virtual void SetPreferences(TPreferences *preferences) = 0;
};

class TfrmBasePreferencePage : public QWidget, public IPreferencePage {
    Q_OBJECT
public:
    explicit TfrmBasePreferencePage(QWidget *owner = nullptr);

    void SetOnChange(TPreferenceChangeEvent onChange) override { OnChange_ = std::move(onChange); }
    void SetPreferences(TPreferences *preferences) override { Preferences_ = preferences; }
    void LoadPreferences() final;
    void SavePreferences() final;

protected:
    // The page's own loading and saving; loading runs with change reports off.
    virtual void DoLoadPreferences() = 0;
    virtual void DoSavePreferences() = 0;
    TPreferences *EditedPreferences() const { return Preferences_; }
    // Reports a change made by the user; nothing while the page is loading.
    void Changed();
    bool Loading() const { return Loading_; }
    // Loads the page again from where its host loads it (the restored
    // defaults while they wait for OK or Apply).
    void Reload();

signals:
    void ReloadRequested();

private:
    TPreferenceChangeEvent OnChange_;
    TPreferences *Preferences_ = nullptr;
    bool Loading_ = false;
};
