#pragma once
// A page, a surface and a canvas controller for canvas tests, with helpers that
// render into images and read pixels back as TColor.
#include "canvas/diagram_panel.h"
#include "canvas/os_diagram.h"
#include "canvas/os_graphic.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "platform/canvas.h"
#include "platform/fake_user_interface.h"
#include "platform/user_interface.h"

#include "model_builders.h"

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

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

    // A white image of the given size with a canvas on it.
    static QImage WhiteImage(int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        return image;
    }
    static TColor At(const QImage &image, int x, int y) { return QRgbToColor(image.pixel(x, y)) & 0xFFFFFF; }

    // The page as pictures show it: links, then every box over them.
    QImage RenderPage(int width, int height)
    {
        QImage image = WhiteImage(width, height);
        {
            TCanvas canvas(&image);
            diagram->DrawLinks(canvas, 0, 0, 1.0, 1.0);
            for (TBaseModelObject *list_item : model->Notes.Items())
                TOSGraphic::BoxOf(static_cast<TBaseDiagramObject *>(list_item))->DrawTo(canvas, 0, 0, 1.0, 1.0);
            for (TBaseModelObject *list_item : model->Tables.Items())
                TOSGraphic::BoxOf(static_cast<TBaseDiagramObject *>(list_item))->DrawTo(canvas, 0, 0, 1.0, 1.0);
            for (TBaseModelObject *list_item : model->ObjectTables.Items())
                TOSGraphic::BoxOf(static_cast<TBaseDiagramObject *>(list_item))->DrawTo(canvas, 0, 0, 1.0, 1.0);
            for (TBaseModelObject *list_item : model->Types.Items())
                TOSGraphic::BoxOf(static_cast<TBaseDiagramObject *>(list_item))->DrawTo(canvas, 0, 0, 1.0, 1.0);
        }
        return image;
    }
    // The surface widget with its child boxes, as the screen shows it.
    QImage GrabSurface()
    {
        QImage image(surface->size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        surface->render(&image);
        return image;
    }

    TFakeUserInterface ui;
    TDiagramObjectModel *model = nullptr;
    std::unique_ptr<TDiagramSurface> surface;
    std::unique_ptr<TOSDiagram> diagram;
};
