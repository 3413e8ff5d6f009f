// libFuzzer target: any bytes as a diagram document. The reader must answer
// with a model or an exception, never crash or hang; and whatever it read must
// write and read back to the same document.
#include "model/diagram_object_model.h"
#include "model/diagram_xml_reader.h"
#include "model/model_globals.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>
#include <exception>

namespace {

bool LoadInto(TDiagramObjectModel &model, const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        return TLoadXMLDiagram::LoadFromStream(buffer, nullptr, false, &model);
    } catch (const std::exception &) {
        return false;
    }
}

QByteArray Written(const TDiagramObjectModel &model)
{
    QByteArray bytes;
    for (const QString &line : model.BuildDiagramXml(true))
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool initialised = [] {
        InitializeModelGlobals();
        return true;
    }();
    (void)initialised;

    TDiagramObjectModel model;
    if (!LoadInto(model, QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size))))
        return 0;
    // Line ends inside values become CR LF on the first reading; after that
    // the document must be stable.
    const QByteArray first = Written(model);
    TDiagramObjectModel second;
    if (!LoadInto(second, first))
        std::abort();
    const QByteArray again = Written(second);
    TDiagramObjectModel third;
    if (!LoadInto(third, again) || Written(third) != again)
        std::abort();
    return 0;
}
