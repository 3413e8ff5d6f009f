#pragma once
// TDrawLink: paints foreign-key links between table boxes (stubs, crow's feet,
// mandatory bars, captions, self loops) onto any canvas.
#include <QPoint>
#include <QString>

class TCanvas;
class TDiagramForeignKey;
class TDiagramTable;
class TDiagramObjectTable;
struct TRect;

class TDrawLink {
public:
    TDrawLink() = delete;

    // The table or object table of the current page a key refers to, or null.
    static TDiagramTable *ReferencedTable(const TDiagramForeignKey &foreignKey);
    static void DrawForeignKey(TCanvas &canvas, TDiagramForeignKey *foreignKey, int offsetX, int offsetY,
                               double scaleX, double scaleY);
    // Links between object tables and their types are not shown on diagrams.
    static void DrawObjectTableTypeLink(TCanvas &canvas, TDiagramObjectTable *objectTable, int offsetX,
                                        int offsetY, double scaleX, double scaleY, const QString &typeName,
                                        const QString &typeOwner);
    static void DrawTwoBoxLink(TCanvas &canvas, TDiagramTable *referencedTable, TDiagramTable *owningTable,
                               const QString &caption, const QString &onDelete, bool mandatory, int rank);
    static void DrawSelfLoop(TCanvas &canvas, TDiagramTable *table, TDiagramForeignKey *foreignKey, int rank);
    // Where one end of a two-box link leaves its box at a rank: the side, the
    // point on it and the end of the stub drawn from there. Ranks move both
    // points along the side, x for top and bottom, y for left and right.
    enum class TSide { Top, Left, Bottom, Right };
    struct TRouteEnd {
        TSide Side;
        QPoint Edge, Stub;
    };
    static TRouteEnd RouteEnd(const TRect &box, QPoint centre, QPoint other, int rank);
    // Draws one end of a two-box link and returns the end of its stub.
    static QPoint RouteLink(TCanvas &canvas, const TRect &box, QPoint centre, QPoint other, bool endMark,
                            bool mandatory, int rank);

    // The pen colour of a link by its delete rule (compared exactly).
    static int LinkColour(const QString &onDelete);
    static bool IsMandatory(const TDiagramForeignKey &foreignKey);
    // Degrees of the line from a to b, as atan2(a.y - b.y, a.x - b.x).
    static double LineAngle(QPoint a, QPoint b);
    static QPoint Centre(const TRect &rect);
    static QPoint LabelPoint(QPoint a, QPoint b);
};
