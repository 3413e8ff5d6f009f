#include "model/java_generator.h"

#include "model/ddl_text.h"
#include "model/diagram_table.h"
#include "model/helpers.h"
#include "model/oracle_name.h"
#include "platform/config_settings.h"
#include "platform/shell.h"

#include "platform/atomic_file.h"

#include <QSet>

#include <vector>

namespace {

// Java names change the case of the ASCII letters only, whatever the locale.
QChar AsciiUpper(QChar c)
{
    return c >= QLatin1Char('a') && c <= QLatin1Char('z') ? QChar(c.unicode() - 'a' + 'A') : c;
}

QChar AsciiLower(QChar c)
{
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z') ? QChar(c.unicode() - 'A' + 'a') : c;
}

QString AsciiLower(const QString &text)
{
    QString result = text;
    for (QChar &c : result)
        c = AsciiLower(c);
    return result;
}

// Text as it stands between the double quotes of a Java string literal. Octal
// escapes, not \u ones: the compiler turns \u escapes into characters before
// it reads the literal, so an escaped line feed would still end it.
QString JavaLiteralText(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            result += QLatin1Char('\\') + QString(c);
        else if (c.unicode() < 0x20)
            result += QStringLiteral("\\%1").arg(c.unicode(), 3, 8, QLatin1Char('0'));
        else
            result += c;
    }
    return result;
}

QString Quoted(const QString &text) { return QLatin1Char('"') + JavaLiteralText(text) + QLatin1Char('"'); }

// A column name as the SQL in a DAO's string literals writes it.
QString SqlName(const TDiagramColumn &column) { return JavaLiteralText(OracleName::Quote(column.Name)); }

// Words Java keeps for itself, so a field cannot be called so; "_" is one since Java 9.
bool IsJavaKeyword(const QString &word)
{
    static const QSet<QString> keywords = [] {
        QSet<QString> set;
        for (const char *w :
             {"_", "abstract", "assert", "boolean", "break", "byte", "case", "catch", "char", "class", "const",
              "continue", "default", "do", "double", "else", "enum", "extends", "false", "final", "finally",
              "float", "for", "goto", "if", "implements", "import", "instanceof", "int", "interface", "long",
              "native", "new", "null", "package", "private", "protected", "public", "return", "short", "static",
              "strictfp", "super", "switch", "synchronized", "this", "throw", "throws", "transient", "true",
              "try", "void", "volatile", "while"})
            set.insert(QString::fromLatin1(w));
        return set;
    }();
    return keywords.contains(word);
}

// The columns of a DAO in their two roles.
struct TDaoColumns {
    std::vector<const TDiagramColumn *> Keys;    // the first primary key's, in its order
    std::vector<const TDiagramColumn *> NonKeys; // in no primary key, in column order
};

bool InAnyPrimaryKey(const TDiagramTable &table, const QString &columnName)
{
    for (const TDiagramPrimaryKey *key : table.PrimaryKeys) {
        if (key->Columns.contains(columnName, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

TDaoColumns DaoColumns(const TDiagramTable &table)
{
    TDaoColumns roles;
    if (table.PrimaryKeys.Count() > 0) {
        for (const QString &name : table.PrimaryKeys.GetPrimaryKey(0)->Columns) {
            const TDiagramColumn *column = table.Columns.FindColumn(name);
            // Without a column there is no type to map: say so rather than guess.
            if (!column)
                throw EModelError(QStringLiteral("The primary key column \"%1\" is not a column of table %2.%3.")
                                      .arg(name, table.Owner, table.Name));
            roles.Keys.push_back(column);
        }
    }
    for (const TDiagramColumn *column : table.Columns) {
        if (!InAnyPrimaryKey(table, column->Name))
            roles.NonKeys.push_back(column);
    }
    return roles;
}

// A piece of lines written as one block: an empty piece is one empty line.
QString Block(const QStringList &lines) { return lines.join(QLatin1String("\r\n")); }

QString SetterLine(const TDiagramColumn &column, int number)
{
    return QLatin1String("            ps.") + TJavaUtils::JavaSetterOf(column) + QLatin1Char('(')
           + QString::number(number) + QLatin1String(", ") + TJavaUtils::JavaFieldName(column) + QLatin1String(");");
}

QString ParameterOf(const TDiagramColumn &column)
{
    return TJavaUtils::JavaTypeOf(column) + QLatin1Char(' ') + TJavaUtils::JavaFieldName(column);
}

void AppendOpening(QStringList &lines, bool withResultSet)
{
    lines << QStringLiteral("        PooledConnection pc = oracleDataSource.getPooledConnection();") << QString()
          << QStringLiteral("        Connection con = null;") << QStringLiteral("        PreparedStatement ps = null;");
    if (withResultSet)
        lines << QStringLiteral("        ResultSet rs = null;");
    lines << QString() << QStringLiteral("        try") << QStringLiteral("        {")
          << QStringLiteral("            con = pc.getConnection();");
}

void AppendCloseOf(QStringList &lines, const QString &variable)
{
    lines << QStringLiteral("            try") << QStringLiteral("            {")
          << QStringLiteral("                if (%1 != null)").arg(variable) << QStringLiteral("                {")
          << QStringLiteral("                    %1.close();").arg(variable) << QStringLiteral("                }")
          << QStringLiteral("            } catch(Exception e) {}");
}

void AppendClosing(QStringList &lines, bool withResultSet)
{
    lines << QStringLiteral("        }") << QStringLiteral("        finally") << QStringLiteral("        {");
    if (withResultSet) {
        AppendCloseOf(lines, QStringLiteral("rs"));
        lines << QString();
    }
    AppendCloseOf(lines, QStringLiteral("ps"));
    lines << QStringLiteral("        }");
}

bool SaveAndOpen(const QString &text, const QString &fileName)
{
    const QString reason = TAtomicFile::Write(fileName, text.toUtf8());
    if (!reason.isEmpty())
        throw EFCreateError(fileName, reason);
    return TJavaUtils::OpenInNotepad(fileName);
}

} // namespace

QString TJavaUtils::JavaIdentifier(const QString &text)
{
    QString result;
    const QList<uint> points = text.toUcs4();
    for (const char32_t point : points) {
        if (QChar::isLetter(point) || QChar::isDigit(point) || point == U'_' || point == U'$')
            result += QString::fromUcs4(&point, 1);
        else
            result += QLatin1Char('_');
    }
    if (!points.isEmpty() && (QChar::isDigit(points.front()) || IsJavaKeyword(result)))
        result.prepend(QLatin1Char('_'));
    return result;
}

QString TJavaUtils::ToJavaName(const QString &text)
{
    QString result = AsciiLower(text);
    if (!result.isEmpty())
        result[0] = AsciiUpper(result[0]);
    return result;
}

QString TJavaUtils::JavaTypeOf(const TDiagramColumn &column)
{
    const QString &type = column.DataType;
    if (type == QLatin1String("INT") || type == QLatin1String("INTEGER"))
        return QStringLiteral("int");
    if (type == QLatin1String("NUMBER"))
        return column.DataScale != 0 ? QStringLiteral("BigDecimal") : QStringLiteral("int");
    if (type == QLatin1String("DATE"))
        return QStringLiteral("Date");
    return QStringLiteral("String");
}

QString TJavaUtils::JavaSetterOf(const TDiagramColumn &column)
{
    const QString type = JavaTypeOf(column);
    return QLatin1String("set") + (type == QLatin1String("int") ? QStringLiteral("Int") : type);
}

QString TJavaUtils::JavaGetterOf(const TDiagramColumn &column)
{
    const QString type = JavaTypeOf(column);
    return QLatin1String("get") + (type == QLatin1String("int") ? QStringLiteral("Int") : type)
           + QLatin1Char('(');
}

QString TJavaUtils::JavaFieldName(const TDiagramColumn &column) { return JavaIdentifier(AsciiLower(column.Name)); }

bool TJavaUtils::OpenInNotepad(const QString &fileName) { return TShell::OpenDocument(fileName); }

QString TJavaUtils::DaoFileName() { return TConfigSettings::WritableProgramFolder() + QLatin1String("/~dao.java"); }

QString TJavaUtils::BeanFileName()
{
    return TConfigSettings::WritableProgramFolder() + QLatin1String("/~bean.java");
}

QString TJavaUtils::BuildJavaDao(const TDiagramTable &table)
{
    const TDaoColumns roles = DaoColumns(table);
    const QString className = ToJavaName(JavaIdentifier(table.Name));
    const QString ot = JavaLiteralText(TDdlText::QualifiedName(table.Owner, table.Name));
    const int n = static_cast<int>(roles.NonKeys.size());
    const int m = static_cast<int>(roles.Keys.size());

    QStringList selectLines, setLines, updateParameters, nonKeySetters;
    for (int i = 0; i < n; ++i) {
        const TDiagramColumn &column = *roles.NonKeys[i];
        const bool last = i == n - 1;
        const QString ending = last ? QStringLiteral(" \"") : QStringLiteral(",\"");
        selectLines << QLatin1String("      + \"  ") + SqlName(column) + ending;
        setLines << QLatin1String("      + \"  ") + SqlName(column) + QLatin1String(" = ?") + ending;
        updateParameters << QLatin1String("      ") + ParameterOf(column) + (last ? QString() : QStringLiteral(","));
        nonKeySetters << SetterLine(column, i + 1);
    }
    QStringList whereLines, keySetters, keySettersAfter, keyNames, placeholders, keyParameters;
    for (int i = 0; i < m; ++i) {
        const TDiagramColumn &column = *roles.Keys[i];
        whereLines << QLatin1String("      + \"  ") + SqlName(column) + QLatin1String(" = ?")
                          + (i < m - 1 ? QStringLiteral(" and \"") : QStringLiteral("\";"));
        keySetters << SetterLine(column, i + 1);
        keySettersAfter << SetterLine(column, n + i + 1);
        keyNames << SqlName(column);
        placeholders << QStringLiteral("?");
        keyParameters << ParameterOf(column);
    }
    const QString keyParameterText = keyParameters.join(QLatin1Char(','));
    const QString tableLine = QLatin1String("      + \"  ") + ot + QLatin1String(" \"");
    const QString whereHead = QStringLiteral("      + \"where\"");

    QStringList lines;
    lines << QStringLiteral("import java.sql.*;") << QStringLiteral("import oracle.jdbc.pool.*;") << QString();
    lines << QStringLiteral("/**") << QLatin1String(" *  ") + className + QLatin1String("DAO")
          << QStringLiteral(" */");
    lines << QLatin1String("public class ") + className + QLatin1String("DAO implements <YourDAOInterface>")
          << QStringLiteral("{");

    lines << QStringLiteral("    private static String FIND_BEAN_SQL = ") << QStringLiteral("        \"select\"")
          << Block(selectLines) << QStringLiteral("      + \"from\"") << tableLine << whereHead << Block(whereLines)
          << QString();
    lines << QStringLiteral("    private static String INSERT_BEAN_SQL = ")
          << QLatin1String("        \"insert into ") + ot + QLatin1Char('"')
          << QLatin1String("      + \"  (") + keyNames.join(QLatin1Char(',')) + QLatin1String(") \"")
          << QStringLiteral("      + \"values\"")
          << QLatin1String("      + \"  (") + placeholders.join(QLatin1String(", ")) + QLatin1String(")\";")
          << QString();
    lines << QStringLiteral("    private static String UPDATE_BEAN_SQL = ") << QStringLiteral("        \"update\"")
          << tableLine << QStringLiteral("      + \"set\"") << Block(setLines) << whereHead << Block(whereLines)
          << QString();
    lines << QStringLiteral("    private static String DELETE_BEAN_SQL = ") << QStringLiteral("        \"delete \"")
          << tableLine << whereHead << Block(whereLines) << QString();

    lines << QStringLiteral("    private OracleConnectionPoolDataSource oracleDataSource;") << QString();
    lines << QLatin1String("    public ") + className + QLatin1String("DAO()") << QStringLiteral("    {")
          << QStringLiteral("      // initialization") << QStringLiteral("    }") << QString();
    lines << QStringLiteral("    public void setOracleDataSource(OracleConnectionPoolDataSource oracleDataSource)")
          << QStringLiteral("    {") << QStringLiteral("        this.oracleDataSource = oracleDataSource;")
          << QStringLiteral("    }") << QString();

    // find
    lines << QLatin1String("    public ") + className + QLatin1String(" find") + className + QLatin1Char('(')
                 + keyParameterText + QLatin1String(") throws SQLException")
          << QStringLiteral("    {") << QLatin1String("        ") + className + QLatin1String(" bean = null;")
          << QString();
    AppendOpening(lines, true);
    lines << QStringLiteral("            ps = con.prepareStatement(FIND_BEAN_SQL);") << Block(keySetters)
          << QStringLiteral("            rs = ps.executeQuery();") << QString() << QStringLiteral("            if (rs.next())")
          << QStringLiteral("            {") << QLatin1String("                bean = new ") + className + QLatin1String("();");
    for (const TDiagramColumn *column : table.Columns)
        lines << QLatin1String("                bean.set") + ToJavaName(JavaFieldName(*column)) + QLatin1String("(rs.")
                     + JavaGetterOf(*column) + Quoted(column->Name) + QLatin1String("));");
    lines << QStringLiteral("            }");
    AppendClosing(lines, true);
    lines << QString() << QStringLiteral("        return bean;") << QStringLiteral("    }") << QString();

    // insert
    lines << QLatin1String("    public void insert") + className + QLatin1Char('(') + keyParameterText
                 + QLatin1Char(')')
          << QStringLiteral("    {");
    AppendOpening(lines, false);
    lines << QStringLiteral("            ps = con.prepareStatement(INSERT_BEAN_SQL);") << Block(keySetters)
          << QStringLiteral("            ps.execute();");
    AppendClosing(lines, false);
    lines << QStringLiteral("    }") << QString();

    // update
    lines << QLatin1String("    public void update") + className + QLatin1Char('(')
          << Block(updateParameters) + QLatin1Char(',') << QLatin1String("      ") + keyParameterText + QLatin1Char(')')
          << QStringLiteral("    {");
    AppendOpening(lines, false);
    lines << QStringLiteral("            ps = con.prepareStatement(UPDATE_BEAN_SQL);") << Block(nonKeySetters)
          << Block(keySettersAfter) << QStringLiteral("            ps.execute();");
    AppendClosing(lines, false);
    lines << QStringLiteral("    }") << QString();

    // delete
    lines << QLatin1String("    public void delete") + className + QLatin1Char('(') + keyParameterText
                 + QLatin1Char(')')
          << QStringLiteral("    {");
    AppendOpening(lines, false);
    lines << QStringLiteral("            ps = con.prepareStatement(DELETE_BEAN_SQL);") << Block(keySetters)
          << QStringLiteral("            ps.execute();");
    AppendClosing(lines, false);
    lines << QStringLiteral("    }") << QStringLiteral("}");
    return TDdlText::ListText(lines);
}

QString TJavaUtils::BuildJavaBean(const TDiagramTable &table)
{
    const QString className = ToJavaName(JavaIdentifier(table.Name));
    QStringList lines;
    lines << QStringLiteral("/**") << QLatin1String(" *  ") + className + QLatin1String(" Bean")
          << QStringLiteral(" */");
    lines << QLatin1String("public class ") + className << QStringLiteral("{");
    for (const TDiagramColumn *column : table.Columns)
        lines << QLatin1String("    private ") + ParameterOf(*column) + QLatin1Char(';');
    lines << QString();
    // A table without columns still gets a constructor that compiles.
    lines << QLatin1String("    public ") + className + (table.Columns.Count() == 0 ? QStringLiteral("()") : QStringLiteral("("));
    const int last = table.Columns.Count() - 1;
    int i = 0;
    for (const TDiagramColumn *column : table.Columns)
        lines << QLatin1String("      ") + ParameterOf(*column) + (i++ < last ? QLatin1Char(',') : QLatin1Char(')'));
    lines << QStringLiteral("    {");
    for (const TDiagramColumn *column : table.Columns) {
        const QString field = JavaFieldName(*column);
        lines << QLatin1String("        this.") + field + QLatin1String(" = ") + field + QLatin1Char(';');
    }
    lines << QStringLiteral("    }");
    for (const TDiagramColumn *column : table.Columns) {
        const QString field = JavaFieldName(*column);
        const QString type = JavaTypeOf(*column);
        const QString accessor = ToJavaName(field);
        lines << QString() << QLatin1String("    public ") + type + QLatin1String(" get") + accessor + QLatin1String("()")
              << QStringLiteral("    {") << QLatin1String("        return ") + field + QLatin1Char(';')
              << QStringLiteral("    }") << QString()
              << QLatin1String("    public void set") + accessor + QLatin1Char('(') + type + QLatin1Char(' ') + field
                     + QLatin1Char(')')
              << QStringLiteral("    {") << QLatin1String("        this.") + field + QLatin1String(" = ") + field + QLatin1Char(';')
              << QStringLiteral("    }");
    }
    lines << QStringLiteral("}");
    return TDdlText::ListText(lines);
}

bool TJavaUtils::GenerateJavaDao(const TDiagramTable &table) { return SaveAndOpen(BuildJavaDao(table), DaoFileName()); }

bool TJavaUtils::GenerateJavaBean(const TDiagramTable &table)
{
    return SaveAndOpen(BuildJavaBean(table), BeanFileName());
}
