#pragma once
// THelpers: the small text conversions shared by the XML writers and readers,
// owner-qualified name splitting, the logged-on test and shell opening.
#include <QString>
#include <QStringList>

class THelpers {
public:
    THelpers() = delete;

    static QString Indent(int count);
    static QString WrapCData(const QString &text);
    static QString BoolToYN(bool value);
    static bool YNToBool(const QString &text);
    static bool IsYes(const QString &text);
    static QString ColumnSortMethodToText(int method);
    static int ColumnSortMethodFromText(const QString &text);
    static QString PadRight(const QString &text, int width, QChar fill);
    static QString GetOwnerName(const QString &qualifiedName);
    static QString GetObjectName(const QString &qualifiedName);
    static bool IsConnected();
    // A web page in the user's browser; raises, saying what was looked for, when
    // no browser could be started.
    static void OpenUrl(const QString &address);
    static void OpenFile(const QString &fileName);
    static void OpenHomePage();
    // A string list's comma text: items joined by commas, an item holding a
    // blank, control character, comma or quote double-quoted.
    static QString CommaText(const QStringList &items);

    static const char *const HomePage;
};
