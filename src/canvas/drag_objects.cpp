#include "canvas/drag_objects.h"

#include <QDataStream>
#include <QIODevice>
#include <QMimeData>

const QString TDragObjects::MimeType = QStringLiteral("application/x-marrowtide-db-objects");

void TDragObjects::Add(const QString &owner, const QString &name, quint8 kind)
{
    Items.push_back(TConstantHelpers::NewDBObjectData(owner, name, kind));
}

QByteArray TDragObjects::Encode() const
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out << quint32(Items.size());
    for (const auto &item : Items)
        out << item->Owner << item->Name << item->Kind;
    return data;
}

std::unique_ptr<TDragObjects> TDragObjects::Decode(const QByteArray &data)
{
    QDataStream in(data);
    quint32 count = 0;
    in >> count;
    if (in.status() != QDataStream::Ok)
        return nullptr;
    auto result = std::make_unique<TDragObjects>();
    for (quint32 i = 0; i < count; ++i) {
        QString owner, name;
        quint8 kind = 0;
        in >> owner >> name >> kind;
        if (in.status() != QDataStream::Ok)
            return nullptr;
        result->Add(owner, name, kind);
    }
    return result;
}

std::unique_ptr<TDragObjects> TDragObjects::FromMimeData(const QMimeData *mime)
{
    if (!mime || !mime->hasFormat(MimeType))
        return nullptr;
    return Decode(mime->data(MimeType));
}

std::unique_ptr<QMimeData> TDragObjects::ToMimeData() const
{
    auto mime = std::make_unique<QMimeData>();
    mime->setData(MimeType, Encode());
    return mime;
}
