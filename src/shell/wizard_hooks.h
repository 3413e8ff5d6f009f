#pragma once
// The table and note wizards as the model reaches them: installed once at
// start-up, they also bring the page up to date after an edit. The commands
// that start them from the main window live here too.

class TWizardHooks {
public:
    TWizardHooks() = delete;
    // Installs the hooks for the life of the program.
    static void Install();

    // The main window's commands: a new table or note through its wizard,
    // placed on the current page with its box; and the compare-models wizard.
    static void CreateTableOnPage();
    static void CreateNoteOnPage();
    static void CompareModels();
};
