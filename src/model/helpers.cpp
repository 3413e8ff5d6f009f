#include "model/helpers.h"

#include "model/model_globals.h"
#include "platform/shell.h"

#include <stdexcept>

const char *const THelpers::HomePage = "https://marrowtide.example.org/";

QString THelpers::Indent(int count) { return QString(qMax(0, count), QLatin1Char(' ')); }

QString THelpers::WrapCData(const QString &text)
{
    QString body = text;
    body.replace(QLatin1String("]]>"), QLatin1String("]]]]><![CDATA[>"));
    return QLatin1String("<![CDATA[") + body + QLatin1String("]]>");
}

QString THelpers::BoolToYN(bool value) { return value ? QStringLiteral("Y") : QStringLiteral("N"); }

bool THelpers::YNToBool(const QString &text)
{
    return text == QLatin1String("Y") || text == QLatin1String("y");
}

bool THelpers::IsYes(const QString &text) { return text.toUpper() == QLatin1String("YES"); }

QString THelpers::ColumnSortMethodToText(int method)
{
    switch (method) {
    case 1:
        return QStringLiteral("alpha");
    case 2:
        return QStringLiteral("keys");
    default:
        return QStringLiteral("creation");
    }
}

int THelpers::ColumnSortMethodFromText(const QString &text)
{
    const QString lower = text.toLower();
    if (lower == QLatin1String("alpha"))
        return 1;
    if (lower == QLatin1String("keys"))
        return 2;
    return 0;
}

QString THelpers::PadRight(const QString &text, int width, QChar fill)
{
    if (width <= 0)
        return {};
    return text.left(width).leftJustified(width, fill);
}

QString THelpers::GetOwnerName(const QString &qualifiedName)
{
    const int dot = qualifiedName.indexOf(QLatin1Char('.'));
    return dot >= 0 ? qualifiedName.left(dot) : QString();
}

QString THelpers::GetObjectName(const QString &qualifiedName)
{
    const int dot = qualifiedName.indexOf(QLatin1Char('.'));
    return dot >= 0 ? qualifiedName.mid(dot + 1) : qualifiedName;
}

bool THelpers::IsConnected() { return DatabaseSession && DatabaseSession->GetConnected(); }

void THelpers::OpenUrl(const QString &address)
{
    if (!TShell::OpenDocument(address))
        throw std::runtime_error(QStringLiteral("Cannot open %1: no web browser could be started. Looked for %2.")
                                     .arg(address, TShell::WebBrowserSearch())
                                     .toStdString());
}

void THelpers::OpenFile(const QString &fileName) { TShell::OpenDocument(fileName); }

void THelpers::OpenHomePage() { OpenUrl(QString::fromLatin1(HomePage)); }

QString THelpers::CommaText(const QStringList &items)
{
    // A list of one empty name must still show that it holds something.
    if (items.size() == 1 && items.front().isEmpty())
        return QStringLiteral("\"\"");
    QStringList parts;
    parts.reserve(items.size());
    for (const QString &item : items) {
        bool quote = false;
        for (QChar c : item) {
            if (c.unicode() <= ' ' || c == QLatin1Char(',') || c == QLatin1Char('"')) {
                quote = true;
                break;
            }
        }
        if (quote) {
            QString quoted = item;
            quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
            parts << QLatin1Char('"') + quoted + QLatin1Char('"');
        } else {
            parts << item;
        }
    }
    return parts.join(QLatin1Char(','));
}
