#pragma once
// A page, a surface and a canvas controller for canvas tests, with builders for
// page objects, pixel read-back, and a canvas that records where texts and
// pictures were placed.
#include "canvas/diagram_panel.h"
#include "canvas/os_diagram.h"
#include "canvas/os_graphic.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "platform/canvas.h"
#include "platform/canvas_device.h"
#include "platform/fake_user_interface.h"
#include "platform/user_interface.h"

#include "model_builders.h"

#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

// Keeps the texts and pictures drawn through it; every other primitive is dropped.
class TRecordingDevice : public TCanvasDevice {
public:
    struct TText {
        QString Text;
        QPoint At;
        TRect Clip;
        int Size; // of the font
    };
    std::vector<TText> Texts;
    std::vector<TRect> Pictures;

    // The first text drawn with exactly these characters.
    const TText *Find(const QString &text) const
    {
        for (const TText &t : Texts)
            if (t.Text == text)
                return &t;
        return nullptr;
    }
    void TextOut(const TDrawingTools &tools, QPoint at, const QString &text, const TRect *clip, const TRect *) override
    {
        Texts.push_back({text, at, clip ? *clip : TRect{}, tools.Font.Size});
    }
    void StretchDraw(const TRect &dest, const QImage &) override { Pictures.push_back(dest); }
    void Line(const TDrawingTools &, QPoint, QPoint) override {}
    void Polyline(const TDrawingTools &, const QPolygon &) override {}
    void Polygon(const TDrawingTools &, const QPolygon &) override {}
    void Rectangle(const TDrawingTools &, const TRect &) override {}
    void RoundRect(const TDrawingTools &, const TRect &, QSize) override {}
    void Ellipse(const TDrawingTools &, const TRect &) override {}
    void Arc(const TDrawingTools &, const TRect &, QPoint, QPoint) override {}
    void FillRect(const TDrawingTools &, const TRect &) override {}
    void FrameRect(const TDrawingTools &, const TRect &) override {}
    TColor Pixel(QPoint) const override { return clNone; }
    void SetPixel(QPoint, TColor) override {}
    void SetClipRect(const TRect *) override {}
    TRect ClipRect() const override { return TRect{0, 0, 100000, 100000}; }
};

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUserInterface(&ui);
        InitializeModelGlobals();
        model = CurrentModel;
        model->Style.SetDefaultStyle();
        Preferences->DrawPrinterPages = false;
        surface = std::make_unique<TDiagramSurface>();
        surface->resize(400, 300);
        diagram = std::make_unique<TOSDiagram>();
        diagram->AttachSurface(surface.get());
        CurrentDiagram = diagram.get();
    }
    void TearDown() override
    {
        diagram->DestroyGraphics();
        CurrentDiagram = nullptr;
        diagram.reset();
        surface.reset();
        FinalizeModelGlobals();
        SetUserInterface(nullptr);
    }

    static TColor At(const QImage &image, int x, int y) { return QRgbToColor(image.pixel(x, y)) & 0xFFFFFF; }
    struct TProbe {
        int X, Y;
        TColor Colour;
    };
    static void ExpectPixels(const QImage &image, std::initializer_list<TProbe> probes)
    {
        for (const TProbe &p : probes)
            EXPECT_EQ(At(image, p.X, p.Y), p.Colour) << "at " << p.X << "," << p.Y;
    }
    // An image of the given size in one colour, painted on by paint(canvas).
    template <class F>
    static QImage Painted(int width, int height, F &&paint, QColor fill = Qt::white)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(fill);
        {
            TCanvas canvas(&image);
            paint(canvas);
        }
        return image;
    }
    // What paint(canvas) drew as texts and pictures.
    template <class F>
    static TRecordingDevice Recorded(F &&paint)
    {
        auto device = std::make_unique<TRecordingDevice>();
        TRecordingDevice *recorder = device.get();
        TCanvas canvas(std::move(device));
        paint(canvas);
        return std::move(*recorder);
    }
    QImage Links(int width = 500, int height = 300)
    {
        return Painted(width, height, [&](TCanvas &c) { diagram->DrawLinks(c, 0, 0, 1.0, 1.0); });
    }
    // The surface widget with its child boxes, as the screen shows it.
    QImage GrabSurface()
    {
        QImage image(surface->size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        surface->render(&image);
        return image;
    }
    // The message of the exception f throws; empty when it throws none.
    template <class F>
    static QString ErrorOf(F &&f)
    {
        try {
            f();
        } catch (const std::exception &error) {
            return QString::fromUtf8(error.what());
        }
        return QString();
    }

    TDiagramNote *AddNote(int left, int top, int width = 80, int height = 30, const QString &text = "n")
    {
        auto *note = new TDiagramNote();
        note->Text = text;
        note->Left = left;
        note->Top = top;
        note->Width = width;
        note->Height = height;
        model->Notes.Add(note);
        return note;
    }
    TDiagramType *AddType(const QString &owner, const QString &name, int left = 400, int top = 400,
                          int width = 90, int height = 40)
    {
        auto *type = new TDiagramType();
        type->Owner = owner;
        type->Name = name;
        type->Left = left;
        type->Top = top;
        type->Width = width;
        type->Height = height;
        model->Types.Add(type);
        return type;
    }
    TDiagramObjectTable *AddObjectTable(const QString &owner, const QString &name, const QString &typeOwner,
                                        const QString &typeName, int width = 120, int height = 60)
    {
        auto *table = new TDiagramObjectTable();
        table->Owner = owner;
        table->Name = name;
        table->TypeOwner = typeOwner;
        table->TypeName = typeName;
        table->Width = width;
        table->Height = height;
        model->ObjectTables.Add(table);
        return table;
    }
    static TOSGraphic *Box(const TBaseDiagramObject *object) { return TOSGraphic::BoxOf(object); }
    static bool Selected(const TBaseModelObject *object) { return SelectedGraphics->Contains(object); }

    TFakeUserInterface ui;
    TDiagramObjectModel *model = nullptr;
    std::unique_ptr<TDiagramSurface> surface;
    std::unique_ptr<TOSDiagram> diagram;
};
