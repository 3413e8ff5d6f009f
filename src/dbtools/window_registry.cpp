#include "dbtools/window_registry.h"

IWindowRegistry *TWindowRegistry::Current = nullptr;
