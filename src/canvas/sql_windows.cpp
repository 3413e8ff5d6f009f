#include "canvas/sql_windows.h"

#include "dbtools/sql_query_form.h"

#include <QBuffer>

namespace {

// Each script and query in a window of its own, which lives on by itself.
class TEditorWindows : public ISqlWindows {
public:
    void ShowScript(const QStringList &lines) override
    {
        TfrmSQLQuery *window = TfrmSQLQuery::Create();
        window->SetScriptMode(true);
        QByteArray text = lines.join(QLatin1Char('\n')).toUtf8();
        QBuffer stream(&text);
        stream.open(QIODevice::ReadOnly);
        window->LoadSQLFromStream(stream);
    }
    void RunQuery(const QString &sql) override
    {
        TfrmSQLQuery *window = TfrmSQLQuery::Create();
        window->SetSQLText(sql);
        window->RunQuery();
    }
};

TEditorWindows EditorWindows;
ISqlWindows *Hook = nullptr;

ISqlWindows &Windows() { return Hook ? *Hook : EditorWindows; }

} // namespace

void TSqlWindows::ShowScript(const QStringList &lines) { Windows().ShowScript(lines); }

void TSqlWindows::RunQuery(const QString &sql) { Windows().RunQuery(sql); }

void TSqlWindows::SetHook(ISqlWindows *hook) { Hook = hook; }
