#pragma once
// The program-wide objects every layer reaches: the open pages and the current
// one, the selection, the preferences and the current database session.
#include "model/database_session.h"
#include "model/model_lists.h"

#include <QString>

#include <memory>
#include <vector>

class TDiagramObjectModel;
class TOSSchemaStyle;
class TPreferences;
class TOSDiagram;
class QTreeWidget;

// A record carried by explorer list entries and drag lists.
struct TDBObjectData {
    QString Name;
    QString Owner;
    quint8 Kind = 0; // 0 table, 1 object table, 2 type
};

extern IDatabaseSessionPtr DatabaseSession;
extern TDiagramObjectModel *CurrentModel;
extern TOSSelectedGraphics *SelectedGraphics;
extern std::vector<std::unique_ptr<TDiagramObjectModel>> *OpenModels;
extern QTreeWidget *ModelTreeView;
extern QTreeWidget *DBObjectTreeView;
extern TPreferences *Preferences;
extern TOSDiagram *CurrentDiagram;

// The current page's drawing style, or the default style while no page is
// current: boxes, captions and pictures never read a missing page.
const TOSSchemaStyle &CurrentStyle();

// Creates the program-wide objects in their order: no session, the selection,
// the preferences, the open models with the first page "New Model".
void InitializeModelGlobals();
// Frees them in their order: selection, open models, preferences, session.
void FinalizeModelGlobals();

class TConstantHelpers {
public:
    TConstantHelpers() = delete;
    // 0 "Oracle", 1 "ThinkSQL", 2 "MySQL"; other kinds leave Text unchanged.
    static void GetDatabaseKindName(quint8 kind, QString &text);
    static std::unique_ptr<TDBObjectData> NewDBObjectData(const QString &owner, const QString &name,
                                                          quint8 kind);
};
