#include "canvas/sql_windows.h"

#include <stdexcept>

namespace {

ISqlWindows *Hook = nullptr;

ISqlWindows &Windows()
{
    if (!Hook)
        throw std::runtime_error("The SQL editor is not available.");
    return *Hook;
}

} // namespace

void TSqlWindows::ShowScript(const QStringList &lines) { Windows().ShowScript(lines); }

void TSqlWindows::RunQuery(const QString &sql) { Windows().RunQuery(sql); }

bool TSqlWindows::Available() { return Hook != nullptr; }

void TSqlWindows::SetHook(ISqlWindows *hook) { Hook = hook; }
