#pragma once
// TBaseModelObject: root of every schema-model class, with the diagram-object
// and box-rectangle layers that tables, types and notes build on.
#include "model/model_errors.h"

#include <QString>
#include <QStringList>

class TCanvas;

class TBaseModelObject {
public:
    TBaseModelObject() = default;
    virtual ~TBaseModelObject() = default;
    TBaseModelObject(const TBaseModelObject &) = delete;
    TBaseModelObject &operator=(const TBaseModelObject &) = delete;

    // Appends the object's XML element to the list, indented by Indent blanks.
    virtual void WriteXML(QStringList &list, int indent) const;
    // Deep copy from an object of the same class.
    virtual void Assign(const TBaseModelObject &source);

    QString Name;
    QString Comment;
};

class TBaseDiagramObject : public TBaseModelObject {
public:
    void Assign(const TBaseModelObject &source) override;

    bool IsVirtual = false;
    // The box that shows the object on the page; never owned.
    void *Graphic = nullptr;
};

class TBaseDiagramRectangle : public TBaseDiagramObject {
public:
    TBaseDiagramRectangle() = default;
    void Assign(const TBaseModelObject &source) override;

    virtual int CalcWidth(TCanvas *canvas) { return 0; }
    virtual int CalcHeight(TCanvas *canvas) { return 0; }

    int Left = 10;
    int Height = 100;
    int Width = 100;
    int Top = 10;

protected:
    // Types start at the origin with no size until placed and measured.
    struct NoDefaults {};
    explicit TBaseDiagramRectangle(NoDefaults) : Left(0), Height(0), Width(0), Top(0) {}
};

// Casts a source object to the class being assigned to; a different class is
// an invalid typecast, as for the typed list accessors.
template <class T>
const T &AssignSource(const TBaseModelObject &source)
{
    const auto *typed = dynamic_cast<const T *>(&source);
    if (!typed)
        throw EInvalidCast();
    return *typed;
}
