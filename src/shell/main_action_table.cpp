#include "shell/main_action_table.h"

#include <cstring>

namespace {

using C = TActionCheck;
using N = TActionNeed;

// clang-format off
constexpr TMainActionSpec Table[] = {
    // File
    {"actNewPage",        "&New Page",          "",       "Create a new page",          0,  C::None, N::Nothing},
    {"actOpen",           "&Open...",           "",       "Open a saved diagram",       1,  C::None, N::Nothing},
    {"Reopen",            "Reopen",             "",       "Reopen a saved diagram",     -1, C::None, N::Nothing},
    {"actMerge",          "&Merge...",          "",       "Merge a saved diagram",      8,  C::None, N::Nothing},
    {"actSave",           "&Save",              "",       "Save diagram",               3,  C::None, N::Nothing},
    {"actSaveAs",         "Save &As..",         "",       "Save diagram as..",          -1, C::None, N::Nothing},
    {"actClosePage",      "&Close Page",        "",       "Close the current page",     -1, C::None, N::Nothing},
    {"actCloseAllPages",  "Close All Pages",    "",       "Closes all the open pages",  -1, C::None, N::Nothing},
    {"actSaveAsPicture",  "Save as Picture...", "",       "Save diagram as a picture",  9,  C::None, N::Nothing},
    {"actPrint",          "&Print",             "Ctrl+P", "Print diagram",              10, C::None, N::Nothing},
    {"actPrintSetup",     "Print Set&up",       "",       "Print Setup",                -1, C::None, N::Nothing},
    {"actPrintPreview",   "Print Preview...",   "",       "Print Preview",              11, C::None, N::Nothing},
    {"actCloneInstance",  "Clone Instance...",  "",       "",                           -1, C::None, N::Nothing},
    {"actNewInstance",    "&New Instance...",   "",       "",                           -1, C::None, N::Nothing},
    {"actExit",           "E&xit",              "Alt+F4", "Exit Marrowtide",            -1, C::None, N::Nothing},
    // Edit
    {"actCut",            "Cu&t",               "Ctrl+X", "Cut",                        5,  C::None, N::Nothing},
    {"actCopy",           "&Copy",              "Ctrl+C", "Copy",                       4,  C::None, N::Nothing},
    {"actPaste",          "&Paste",             "Ctrl+V", "Paste",                      7,  C::None, N::Nothing},
    {"actHide",           "&Hide",              "Del",    "Hide selected",              6, C::None, N::Nothing},
    {"actSelectAll",      "Select &All",        "Ctrl+A", "Select all",                 -1, C::None, N::Nothing},
    // Diagram
    {"actRefresh",        "&Refresh",           "F5",     "Refresh Diagram",            2, C::None, N::Nothing},
    {"actLayoutDiagram",  "&Layout Diagram",    "",       "Layout Diagram",             19, C::None, N::Nothing},
    {"actFind",           "&Find...",           "Ctrl+F", "Find Object",                12, C::None, N::Nothing},
    {"actZoomIn",         "Zoom &In",           "",       "Zoom In",                    26, C::None, N::Nothing},
    {"actZoomOut",        "Zoom &Out",          "",       "Zoom Out",                   27, C::None, N::Nothing},
    {"actCreateNote",     "Create &Note...",    "",       "Create Note",                13, C::None, N::Nothing},
    {"actCreateTable",    "Create &Table...",   "",       "Create Table",               14, C::None, N::Nothing},
    {"actRenameDiagram",  "R&ename Diagram...", "",       "",                           -1, C::None, N::Nothing},
    {"actCompareModels",  "&Compare Models...", "",       "Compare Models",             -1, C::None, N::Nothing},
    {"actShowAllColumns", "&All",               "",       "",                           -1, C::None, N::Nothing},
    {"actShowOnlyKeyCols", "&Only Keys",        "",       "",                           -1, C::None, N::Nothing},
    {"actFoldAll",        "&None",              "",       "",                           -1, C::None, N::Nothing},
    {"actShowDataTypes",  "Show Data Types",    "",       "",                           -1, C::None, N::Nothing},
    {"actHideDataTypes",  "Hide Data Types",    "",       "",                           -1, C::None, N::Nothing},
    {"actShowComments",   "Show Comments",      "",       "",                           -1, C::None, N::Nothing},
    {"actHideComments",   "Hide Comments",      "",       "",                           -1, C::None, N::Nothing},
    {"actSortAllAlpha",   "Sort Alphabetical",  "",       "",                           -1, C::None, N::Nothing},
    {"actSortAllKeys",    "Sort by Keys",       "",       "",                           -1, C::None, N::Nothing},
    {"actSortByCreation", "actSortByCreation",  "",       "",                           -1, C::None, N::Nothing},
    // View
    {"actViewToolbar",    "&Toolbar",           "",       "View Toolbar",               -1, C::Checked,   N::Nothing},
    {"actPlanView",       "&Plan View",         "",       "",                           -1, C::Checked,   N::Nothing},
    {"actViewTableList",  "Table List",         "",       "View Table List",            -1, C::Checked,   N::Nothing},
    {"actViewStatusBar",  "Status Bar",         "",       "View Status Bar",            -1, C::Checked,   N::Nothing},
    {"actFullScreen",     "Full Screen",        "",       "",                           -1, C::Unchecked, N::Nothing},
    {"actConsole",        "Console",            "",       "",                           -1, C::Unchecked, N::Nothing},
    // Session
    {"actLogOn",          "&Log On...",         "",       "Log On",                     15, C::None, N::Nothing},
    {"actLogOff",         "Log &Off",           "",       "Log Off",                    16, C::None, N::Session},
    {"actShowIniFile",    "Open tnsnames.ora...", "",     "Open tnsnames.ora...",       -1, C::None, N::Session},
    {"actExtractMetaData", "Extract Meta Data", "",       "",                           -1, C::None, N::Session},
    {"actExportImport",   "Export and Import",  "",       "",                           -1, C::None, N::Session},
    // Tools
    {"actPreferences",    "&Preferences...",    "",       "Edit preferences",           17, C::None, N::Nothing},
    {"actDatabaseBrowser", "&Database Explorer", "",      "Database Explorer",          18, C::None, N::Nothing},
    {"actGenerateModelDDL", "&Generate DDL...", "",       "Generate Model DDL",         TPopupImage::GenerateDDL, C::None, N::Nothing},
    {"actGenerateSelectedDDL", "&Generate DDL for Selected...", "", "Generate Seleted Model Elements DDL", -1, C::None, N::Nothing},
    {"actGenDeltaDDL",    "Generate DB Delta DDL...", "", "",                           -1, C::None, N::Session},
    {"actSQLEditor",      "&SQL Editor...",     "",       "Open SQL Editor",            20, C::None, N::Nothing},
    {"actSQLScriptEditor", "SQL Script Editor...", "",    "Open SQL Script Editor",     -1, C::None, N::Nothing},
    {"actSQLPlus",        "&Run SQLPlus...",    "",       "",                           -1, C::None, N::Nothing},
    // Help
    {"actTutorial1",      "Understanding Marrowtide", "", "",                           -1, C::None, N::Nothing},
    {"actHomePage",       "Marrowtide Home Page", "",     "",                           -1, C::None, N::Nothing},
    {"actUserGuide",      "&Online User Guide", "",       "",                           -1, C::None, N::Nothing},
    {"actAbout",          "&About",             "",       "About Marrowtide",           -1, C::None, N::Nothing},
};
// clang-format on

} // namespace

std::span<const TMainActionSpec> MainActionTable() { return Table; }

const TMainActionSpec *FindMainAction(const char *name)
{
    for (const TMainActionSpec &spec : Table) {
        if (std::strcmp(spec.Name, name) == 0)
            return &spec;
    }
    return nullptr;
}
