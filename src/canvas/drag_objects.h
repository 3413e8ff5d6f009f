#pragma once
// TDragObjects: the database objects dragged from an explorer onto the diagram,
// in the order the user selected them; carried between widgets as private MIME data.
#include "model/model_globals.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class QMimeData;

class TDragObjects {
public:
    static const QString MimeType;

    void Add(const QString &owner, const QString &name, quint8 kind);
    QByteArray Encode() const;
    // Null when the data carries no drag list or the list is malformed.
    static std::unique_ptr<TDragObjects> Decode(const QByteArray &data);
    static std::unique_ptr<TDragObjects> FromMimeData(const QMimeData *mime);
    std::unique_ptr<QMimeData> ToMimeData() const;

    std::vector<std::unique_ptr<TDBObjectData>> Items;
};
