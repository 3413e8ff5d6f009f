#pragma once
// The table and note wizards as the model reaches them: installed once at
// start-up, they also bring the page up to date after an edit.

class TWizardHooks {
public:
    TWizardHooks() = delete;
    // Installs the hooks for the life of the program.
    static void Install();
};
