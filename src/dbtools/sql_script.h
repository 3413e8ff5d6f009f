#pragma once
// TSqlScript: splits the text of an Oracle script into its statements, the way
// the Oracle command-line tools read it.
#include <QString>
#include <QStringList>

class TSqlScript {
public:
    TSqlScript() = delete;

    // A statement ends at a ";" outside strings and comments, or at a line
    // holding only "/". PL/SQL units (CREATE PROCEDURE, FUNCTION, PACKAGE,
    // TRIGGER, TYPE, and anonymous DECLARE/BEGIN blocks) hold ";" of their own
    // and end only at the "/" line. Statements are returned without their
    // terminator; parts holding nothing but comments are left out.
    static QStringList Split(const QString &script);
    // The statement as the database takes it: without surrounding blanks, a
    // closing "/" line or a closing ";" (PL/SQL keeps its "end;").
    static QString Clean(const QString &statement);
    // True when the statement, after its leading comments, opens a PL/SQL unit.
    static bool IsPlSqlUnit(const QString &statement);
    // The statement without comments, blanks collapsed: empty for a part that
    // held only comments.
    static QString StripComments(const QString &statement);
};
