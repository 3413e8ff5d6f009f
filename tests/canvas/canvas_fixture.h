#pragma once
// A page, a surface and a canvas controller for canvas tests, with builders for
// page objects, pixel read-back, and a canvas that records where texts and
// pictures were placed.
#include "canvas/diagram_panel.h"
#include "canvas/os_diagram.h"
#include "canvas/os_graphic.h"
#include "canvas/sql_windows.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/model_hooks.h"
#include "model/preferences.h"
#include "platform/canvas.h"
#include "platform/painter_canvas_device.h"
#include "platform/fake_user_interface.h"
#include "platform/user_interface.h"

#include "model_builders.h"

#include <QImage>
#include <QRegularExpression>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

// What a paint left: the picture, and where it placed each text and stretched picture.
struct TPaint {
    struct TText {
        QString Text;
        QPoint At;
        TRect Clip;
        int Size; // of the font
    };
    QImage Image;
    std::vector<TText> Texts;
    std::vector<TRect> Pictures;

    // The first text drawn with exactly these characters.
    const TText *Find(const QString &text) const
    {
        auto it = std::find_if(Texts.begin(), Texts.end(), [&](const TText &t) { return t.Text == text; });
        return it == Texts.end() ? nullptr : &*it;
    }
    // "text@x,y" for every text, in drawing order.
    QStringList Placed() const
    {
        QStringList texts;
        for (const TText &t : Texts)
            texts << QString("%1@%2,%3").arg(t.Text).arg(t.At.x()).arg(t.At.y());
        return texts;
    }
};

// Paints into an image and notes the texts and pictures on the way.
class TRecordingDevice : public TPainterCanvasDevice {
public:
    TRecordingDevice(TPaint &out) : TPainterCanvasDevice(&out.Image), Out(out) {}
    void TextOut(const TDrawingTools &tools, QPoint at, const QString &text, const TRect *clip,
                 const TRect *opaque) override
    {
        Out.Texts.push_back({text, at, clip ? *clip : TRect{}, tools.Font.Size});
        TPainterCanvasDevice::TextOut(tools, at, text, clip, opaque);
    }
    void StretchDraw(const TRect &dest, const QImage &image) override
    {
        Out.Pictures.push_back(dest);
        TPainterCanvasDevice::StretchDraw(dest, image);
    }
    TPaint &Out;
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
    // True when any pixel within one pixel of (x, y) has the colour.
    static bool Around(const QImage &image, int x, int y, TColor colour)
    {
        for (int d = 0; d < 9; ++d)
            if (At(image, x + d % 3 - 1, y + d / 3 - 1) == colour)
                return true;
        return false;
    }
    // Probes written "x,y=RRGGBB" (exactly there), "~x,y=RRGGBB" (within one pixel) or
    // "!~x,y=RRGGBB" (nowhere within one pixel), separated by blanks.
    static void ExpectProbes(const QImage &image, const QString &probes)
    {
        for (QString probe : probes.split(' ', Qt::SkipEmptyParts)) {
            const bool absent = probe.startsWith("!~"), near = absent || probe.startsWith('~');
            probe.remove(QRegularExpression("^!?~"));
            const QStringList xy = probe.section('=', 0, 0).split(',');
            const int x = xy[0].toInt(), y = xy[1].toInt();
            const TColor colour = probe.section('=', 1).toUInt(nullptr, 16);
            if (near)
                EXPECT_EQ(Around(image, x, y, colour), !absent) << probe.toStdString();
            else
                EXPECT_EQ(At(image, x, y), colour) << "at " << probe.toStdString();
        }
    }
    // An image of the given size in one colour, painted on by paint(canvas).
    template <class F>
    static TPaint Paint(int width, int height, F &&paint, QColor fill = Qt::white)
    {
        TPaint out{QImage(width, height, QImage::Format_RGB32), {}, {}};
        out.Image.fill(fill);
        {
            TCanvas canvas(std::make_unique<TRecordingDevice>(out));
            paint(canvas);
        }
        return out;
    }
    TPaint Links(int width = 500, int height = 300)
    {
        return Paint(width, height, [&](TCanvas &c) { diagram->DrawLinks(c, 0, 0, 1.0, 1.0); });
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

    template <class T>
    static T *Placed(T *object, int left, int top, int width, int height)
    {
        object->Left = left, object->Top = top, object->Width = width, object->Height = height;
        return object;
    }
    TDiagramNote *AddNote(int left, int top, int width = 80, int height = 30, const QString &text = "n")
    {
        auto *note = Placed(new TDiagramNote(), left, top, width, height);
        note->Text = text;
        return model->Notes.Add(note), note;
    }
    TDiagramType *AddType(const QString &owner, const QString &name, int left = 400, int top = 400,
                          int width = 90, int height = 40)
    {
        auto *type = Placed(new TDiagramType(), left, top, width, height);
        type->Owner = owner, type->Name = name;
        return model->Types.Add(type), type;
    }
    TDiagramObjectTable *AddObjectTable(const QString &owner, const QString &name, const QString &typeOwner,
                                        const QString &typeName, int width = 120, int height = 60)
    {
        auto *table = Placed(new TDiagramObjectTable(), 0, 0, width, height);
        table->Owner = owner, table->Name = name, table->TypeOwner = typeOwner, table->TypeName = typeName;
        return model->ObjectTables.Add(table), table;
    }
    static TOSGraphic *Box(const TBaseDiagramObject *object) { return TOSGraphic::BoxOf(object); }
    static bool Selected(const TBaseModelObject *object) { return SelectedGraphics->Contains(object); }

    TFakeUserInterface ui;
    TDiagramObjectModel *model = nullptr;
    std::unique_ptr<TDiagramSurface> surface;
    std::unique_ptr<TOSDiagram> diagram;
};

// The fixture with what the page commands reach: the reader's rebuild hook
// (counted) and a recorder of the SQL editor windows they open.
namespace {

class CanvasCommands : public CanvasTest, IDiagramCanvas, ISqlWindows {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        TModelHooks::Canvas = this;
        TSqlWindows::SetHook(this);
        model->Style.FontSize = 8;
        model->Style.HeaderFontSize = 10;
        model->Style.LinkFontSize = 7;
    }
    void TearDown() override
    {
        TSqlWindows::SetHook(nullptr);
        TModelHooks::Canvas = nullptr;
        CanvasTest::TearDown();
    }
    void Rebuild() override { ++Rebuilds, diagram->Rebuild(); }
    void RefreshTablesFromDatabase(const std::vector<TDiagramTable *> &) override {}
    void ShowScript(const QStringList &lines) override { Scripts.push_back(lines); }
    void RunQuery(const QString &sql) override { Queries << sql; }

    static QRect RectOf(const TBaseDiagramRectangle *r) { return QRect(r->Left, r->Top, r->Width, r->Height); }
    static QStringList Names(const TOSBaseList &list)
    {
        QStringList names;
        for (const TBaseModelObject *object : list.Items())
            names << object->Name;
        return names;
    }
    // A table with an unsorted mix of key and plain columns.
    TDiagramTable *KeyedTable(const QString &name, int left, int top)
    {
        TDiagramTable *table = AddTable(*model, "HR", name, left, top, 150, 90);
        for (const char *column : {"ZETA", "ALPHA", "ID"})
            AddColumn(*table, column);
        AddPrimaryKey(*table, name + "_PK", {"ID"});
        return table;
    }

    int Rebuilds = 0;
    std::vector<QStringList> Scripts;
    QStringList Queries;
};

} // namespace
