#include "dbtools/copy_script.h"

#include "model/result_set.h"

#include <QDateTime>
#include <QRegularExpression>

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

bool IsNumberType(const QString &type)
{
    return type == QLatin1String("NUMBER") || type == QLatin1String("INTEGER") || type == QLatin1String("FLOAT")
           || type == QLatin1String("BINARY_FLOAT") || type == QLatin1String("BINARY_DOUBLE");
}

// Dictionary texts such as TIMESTAMP(6) WITH TIME ZONE name their base first.
QString BaseType(const QString &dataType)
{
    static const QRegularExpression base(QStringLiteral("^[A-Z_ ]*[A-Z_]"));
    const QRegularExpressionMatch match = base.match(dataType.trimmed().toUpper());
    return match.hasMatch() ? match.captured(0) : dataType.trimmed().toUpper();
}

// A number as the server reads it back: no exponent surprises, no locale.
QString NumberText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return value.toString();
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    default:
        break;
    }
    // A text that is a plain decimal number may stand as one; anything else
    // goes in quotes, so nothing of the data can become part of the statement.
    static const QRegularExpression decimal(QStringLiteral("^-?(\\d+(\\.\\d*)?|\\.\\d+)([eE][-+]?\\d+)?$"));
    const QString text = value.toString().trimmed();
    return decimal.match(text).hasMatch() ? text : TCopyScript::QuoteText(value.toString());
}

QString DateText(const QVariant &value, bool withFraction)
{
    QDateTime moment;
    if (value.typeId() == QMetaType::QDateTime)
        moment = value.toDateTime();
    else if (value.typeId() == QMetaType::QDate)
        moment = value.toDate().startOfDay();
    else
        moment = QDateTime::fromString(value.toString().trimmed().left(19), kDateFormat);
    if (!moment.isValid())
        return QString();
    QString text = moment.toString(kDateFormat);
    if (withFraction)
        text += QStringLiteral(".%1").arg(moment.time().msec(), 3, 10, QLatin1Char('0'));
    return text;
}

} // namespace

QString TCopyScript::QuoteText(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString TCopyScript::Literal(const QVariant &value, const QString &dataType)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    const QString type = BaseType(dataType);
    if (IsNumberType(type))
        return NumberText(value);
    if (type == QLatin1String("DATE")) {
        const QString text = DateText(value, false);
        if (!text.isEmpty())
            return QStringLiteral("TO_DATE('") + text + QStringLiteral("', 'YYYY-MM-DD HH24:MI:SS')");
    } else if (type.startsWith(QLatin1String("TIMESTAMP"))) {
        const QString text = DateText(value, true);
        if (!text.isEmpty())
            return QStringLiteral("TO_TIMESTAMP('") + text + QStringLiteral("', 'YYYY-MM-DD HH24:MI:SS.FF3')");
    } else if ((type == QLatin1String("RAW") || type == QLatin1String("BLOB") || type == QLatin1String("LONG RAW"))
               && value.typeId() == QMetaType::QByteArray) {
        return QStringLiteral("HEXTORAW('") + QString::fromLatin1(value.toByteArray().toHex().toUpper())
               + QStringLiteral("')");
    }
    return QuoteText(value.toString());
}

QString TCopyScript::SqlName(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Z][A-Z0-9_$#]*$"));
    if (plain.match(name).hasMatch())
        return name;
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString TCopyScript::TableScript(const QString &owner, const QString &table, const QList<TCopyColumn> &columns,
                                 const TOSResultSet &rows)
{
    const QString qualified = owner.isEmpty() ? SqlName(table) : SqlName(owner) + QLatin1Char('.') + SqlName(table);
    QStringList names;
    for (const TCopyColumn &column : columns)
        names << SqlName(column.Name);
    const QString head = QStringLiteral("INSERT INTO ") + qualified + QStringLiteral(" (")
                         + names.join(QStringLiteral(", ")) + QStringLiteral(")\r\nVALUES (");
    QString script = QStringLiteral("/*  %1: %2 row(s)  */\r\n").arg(qualified).arg(rows.RowCount());
    for (int r = 0; r < rows.RowCount(); ++r) {
        const TOSRow *row = rows.GetRow(r);
        QStringList values;
        for (int c = 0; c < columns.size(); ++c)
            values << Literal(c < row->Count() ? row->GetCell(c)->Value() : QVariant(), columns[c].DataType);
        script += head + values.join(QStringLiteral(", ")) + QStringLiteral(")\r\n/\r\n\r\n");
    }
    return script;
}
