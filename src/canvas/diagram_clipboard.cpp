// Copy, cut and paste of page objects as diagram text on the clipboard, which
// other running copies of the program read as well.
#include "canvas/os_diagram.h"

#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "platform/user_interface.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>

namespace {

// The reader takes ISO-8859-1 bytes: characters beyond it travel as numeric
// references, which it reads back as the characters they stand for. Inside a
// CDATA section a reference would stay text, so the section is closed around it.
QByteArray ToReaderBytes(const QString &text)
{
    if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; }))
        return text.toLatin1();
    static const QString open = QStringLiteral("<![CDATA[");
    static const QString close = QStringLiteral("]]>");
    QByteArray bytes;
    bytes.reserve(text.size());
    bool inCData = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() <= 0xFF) {
            if (!inCData && c == u'<' && QStringView(text).mid(i).startsWith(open))
                inCData = true;
            else if (inCData && c == u']' && QStringView(text).mid(i).startsWith(close))
                inCData = false;
            bytes.append(static_cast<char>(c.unicode()));
            continue;
        }
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            code = QChar::surrogateToUcs4(c, text[++i]);
        const QByteArray reference = "&#" + QByteArray::number(uint(code)) + ';';
        bytes.append(inCData ? "]]>" + reference + "<![CDATA[" : reference);
    }
    return bytes;
}

void PutSelectionOnClipboard()
{
    if (!CurrentModel)
        return;
    QGuiApplication::clipboard()->setText(CurrentModel->BuildDiagramXml(false).join(QLatin1String("\r\n")));
}

} // namespace

void TOSDiagram::CopyToClipboard()
{
    THourglass hourglass;
    PutSelectionOnClipboard();
}

void TOSDiagram::CutToClipboard()
{
    THourglass hourglass;
    PutSelectionOnClipboard();
    DeleteSelected();
}

void TOSDiagram::PasteFromClipboard()
{
    THourglass hourglass;
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!CurrentModel || !data || !data->hasText())
        return;
    QByteArray bytes = ToReaderBytes(data->text());
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    CurrentModel->LoadModelFromStream(this, true, stream);
}
