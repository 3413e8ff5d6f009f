#pragma once
// TDdlText: the text conventions every generated SQL script shares: lists
// joined with CR LF, quoted literals, blank tests and the header time stamp.
#include <QDateTime>
#include <QString>
#include <QStringList>

class TDdlText {
public:
    TDdlText() = delete;

    // The text of a list: every item followed by CR LF, the last one included.
    static QString ListText(const QStringList &lines);
    // A statement as one list item: the body, CR LF, "/", CR LF.
    static QString Statement(const QString &body);
    // A SQL string literal: the text between single quotes, inner quotes doubled.
    static QString Literal(const QString &text);
    // Owner, ".", name, each part written as SQL needs it; the dot stays
    // when the owner is empty, as scripts have always had it.
    static QString QualifiedName(const QString &owner, const QString &name);
    // True when the text holds nothing but blanks and control characters.
    static bool IsBlank(const QString &text);
    // Text to stand inside a /* */ comment: a "*/" in it would end the
    // comment early and let the rest run as SQL.
    static QString CommentText(const QString &text);
    // Texts compared for a delta: the dictionary ends lines with LF, diagram
    // files and the clipboard with CR LF, and neither is a change.
    static bool SameText(const QString &a, const QString &b);

    // The stamp of script headers: the short date, a blank and the long time
    // (without a time zone), or the date alone at exactly midnight.
    static QString DateTimeText(const QDateTime &moment);
    // The moment scripts are stamped with: the clock, or the one tests fixed.
    static QDateTime Now();
    // Fixes the moment; an invalid one goes back to the clock.
    static void SetNowOverride(const QDateTime &moment);
};
