#include "model/model_hooks.h"

IDiagramSurface *TModelHooks::Surface = nullptr;
IModelExplorer *TModelHooks::Explorer = nullptr;
IModelWizards *TModelHooks::Wizards = nullptr;
IDiagramCanvas *TModelHooks::Canvas = nullptr;
IModelConsole *TModelHooks::Console = nullptr;
