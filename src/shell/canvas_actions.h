#pragma once
// TCanvasActions: binds the main window's page commands (clipboard, hide,
// select all, zoom, column display and sorts, the selection's script) to the
// canvas controller of the current page.
class Tfrmgui;

class TCanvasActions {
public:
    TCanvasActions() = delete;

    // Binds the commands; call after the menus exist.
    static void Connect(Tfrmgui &form);
};
