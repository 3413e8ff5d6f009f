#include "model/model_globals.h"

#include "model/diagram_object_model.h"
#include "model/preferences.h"

IDatabaseSessionPtr DatabaseSession;
TDiagramObjectModel *CurrentModel = nullptr;

const TOSSchemaStyle &CurrentStyle()
{
    static const TOSSchemaStyle defaults;
    return CurrentModel ? CurrentModel->Style : defaults;
}
TOSSelectedGraphics *SelectedGraphics = nullptr;
std::vector<std::unique_ptr<TDiagramObjectModel>> *OpenModels = nullptr;
QTreeWidget *ModelTreeView = nullptr;
QTreeWidget *DBObjectTreeView = nullptr;
TPreferences *Preferences = nullptr;
TOSDiagram *CurrentDiagram = nullptr;

namespace {
// The owners behind the plain program-wide pointers.
std::unique_ptr<TOSSelectedGraphics> selectedGraphicsHolder;
std::unique_ptr<TPreferences> preferencesHolder;
std::unique_ptr<std::vector<std::unique_ptr<TDiagramObjectModel>>> openModelsHolder;
} // namespace

void InitializeModelGlobals()
{
    DatabaseSession.reset();
    ModelTreeView = nullptr;
    DBObjectTreeView = nullptr;
    CurrentDiagram = nullptr;
    selectedGraphicsHolder = std::make_unique<TOSSelectedGraphics>();
    SelectedGraphics = selectedGraphicsHolder.get();
    preferencesHolder = std::make_unique<TPreferences>();
    Preferences = preferencesHolder.get();
    openModelsHolder = std::make_unique<std::vector<std::unique_ptr<TDiagramObjectModel>>>();
    OpenModels = openModelsHolder.get();
    auto first = std::make_unique<TDiagramObjectModel>();
    first->Name = QStringLiteral("New Model");
    CurrentModel = first.get();
    OpenModels->push_back(std::move(first));
}

void FinalizeModelGlobals()
{
    SelectedGraphics = nullptr;
    selectedGraphicsHolder.reset();
    CurrentModel = nullptr;
    OpenModels = nullptr;
    openModelsHolder.reset();
    Preferences = nullptr;
    preferencesHolder.reset();
    DatabaseSession.reset();
}

void TConstantHelpers::GetDatabaseKindName(quint8 kind, QString &text)
{
    switch (kind) {
    case 0:
        text = QStringLiteral("Oracle");
        break;
    case 1:
        text = QStringLiteral("ThinkSQL");
        break;
    case 2:
        text = QStringLiteral("MySQL");
        break;
    default:
        break;
    }
}

std::unique_ptr<TDBObjectData> TConstantHelpers::NewDBObjectData(const QString &owner, const QString &name,
                                                                 quint8 kind)
{
    auto data = std::make_unique<TDBObjectData>();
    data->Owner = owner;
    data->Name = name;
    data->Kind = kind;
    return data;
}
