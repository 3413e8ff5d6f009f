#pragma once
// TJavaUtils: writes a JDBC data-access class and a bean class for a table
// into the program's folder and opens them in the user's editor.
#include "model/model_errors.h"

#include <QString>

class TDiagramTable;
class TDiagramColumn;

// A file that could not be created or written.
class EFCreateError : public EModelError {
public:
    EFCreateError(const QString &fileName, const QString &reason)
        : EModelError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, reason)) {}
};

class TJavaUtils {
public:
    TJavaUtils() = delete;

    // Build the text, save it over the previous file and open it; false when
    // the file was saved but no program opened it.
    static bool GenerateJavaDao(const TDiagramTable &table);
    static bool GenerateJavaBean(const TDiagramTable &table);

    // The texts that the two commands save.
    static QString BuildJavaDao(const TDiagramTable &table);
    static QString BuildJavaBean(const TDiagramTable &table);
    // Where they are saved: "~dao.java" and "~bean.java" in the program's
    // folder, or in the per-user data folder when the program's is read-only.
    static QString DaoFileName();
    static QString BeanFileName();

    // Text as a Java name: letters, digits, "_" and "$" kept, any other
    // character made "_"; a leading digit or a Java keyword gets a "_" in front.
    static QString JavaIdentifier(const QString &text);
    // First character upper case, the others lower case (ASCII letters only).
    static QString ToJavaName(const QString &text);
    static QString JavaTypeOf(const TDiagramColumn &column);
    static QString JavaSetterOf(const TDiagramColumn &column);
    static QString JavaGetterOf(const TDiagramColumn &column);
    // The column's name in lower case as a Java name.
    static QString JavaFieldName(const TDiagramColumn &column);
    // False when no program opened the file.
    static bool OpenInNotepad(const QString &fileName);
};
