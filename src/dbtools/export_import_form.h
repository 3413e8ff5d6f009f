#pragma once
// TfrmExportImport: the export and import window: the rows of the chosen
// tables of an owner as a script of INSERT statements, shown and written to
// "copy_data.txt", ready to run against another database.
#include "dbtools/session_tool_form.h"

class QListWidget;
class QPushButton;

class TfrmExportImport : public TfrmSessionTool {
    Q_OBJECT

public:
    TfrmExportImport();

    // A new window, shown and listed in the Window menu; it frees itself when
    // closed. Raises when no session is connected.
    static TfrmExportImport *Create();

    // Lists the tables of the chosen owner, none checked.
    void cboOwnerChange();
    // The copy script of the checked tables.
    void Generate();

private:
    QListWidget *lvwTables = nullptr;
    QPushButton *btnGenerate = nullptr;
};
