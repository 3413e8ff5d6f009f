#include "shell/canvas_actions.h"

#include "canvas/os_diagram.h"
#include "model/model_globals.h"
#include "shell/main_form.h"

#include <QAction>

#include <functional>

void TCanvasActions::Connect(Tfrmgui &form)
{
    using TCommand = std::function<void(TOSDiagram &)>;
    const std::pair<const char *, TCommand> commands[] = {
        {"actCut", [](TOSDiagram &d) { d.CutToClipboard(); }},
        {"actCopy", [](TOSDiagram &d) { d.CopyToClipboard(); }},
        {"actPaste", [](TOSDiagram &d) { d.PasteFromClipboard(); }},
        {"actHide", [](TOSDiagram &d) { d.DeleteSelected(); }},
        {"actSelectAll", [](TOSDiagram &d) { d.SelectAll(); }},
        {"actZoomIn", [](TOSDiagram &d) { d.Zoom(1); }},
        {"actZoomOut", [](TOSDiagram &d) { d.Zoom(-1); }},
        {"actShowAllColumns", [](TOSDiagram &d) { d.ShowAllColumns(); }},
        {"actShowOnlyKeyCols", [](TOSDiagram &d) { d.ShowOnlyKeyColumns(); }},
        {"actFoldAll", [](TOSDiagram &d) { d.FoldAll(); }},
        {"actShowDataTypes", [](TOSDiagram &d) { d.ShowDataTypes(); }},
        {"actHideDataTypes", [](TOSDiagram &d) { d.HideDataTypes(); }},
        {"actShowComments", [](TOSDiagram &d) { d.ShowComments(); }},
        {"actHideComments", [](TOSDiagram &d) { d.HideComments(); }},
        {"actSortAllAlpha", [](TOSDiagram &d) { d.SortAllAlpha(); }},
        {"actSortAllKeys", [](TOSDiagram &d) { d.SortAllKeys(); }},
        {"actGenerateSelectedDDL", [](TOSDiagram &d) { d.GenerateSelectedDDL(); }},
        // Not an action of its own: the menu item sorts by itself.
        {"mniSortByCreation", [](TOSDiagram &d) { d.SortAllByCreationOrder(); }},
    };
    for (const auto &entry : commands) {
        const auto command = entry.second;
        auto *action = form.findChild<QAction *>(QLatin1String(entry.first));
        if (!action)
            continue;
        form.Bind(action, [command] {
            if (CurrentDiagram)
                command(*CurrentDiagram);
        });
    }
}
