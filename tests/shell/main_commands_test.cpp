// The main window's page commands driven through their actions: saving with
// the replace question, pictures of the page, the layout question, and the plan
// view painting the page in miniature and scrolling it by dragging.
#include "shell_fixture.h"

#include "canvas/os_graphic.h"
#include "canvas/overview.h"
#include "model_builders.h"
#include "platform/shell.h"

#include <QAction>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>

#include <cmath>
#include <set>

using ::testing::HasSubstr;

namespace {

const QString ReplaceQuestion = QStringLiteral("File with name %1 already exists. \r\nContinue and replace file?");

QByteArray ReadFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void SendMouse(QWidget *widget, QEvent::Type type, QPoint at)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

// The texts a label paints, each once in a row.
class TTextRecorder : public QObject {
public:
    explicit TTextRecorder(QStringList &texts) : Texts(texts) {}
    QStringList &Texts;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QString text = static_cast<QLabel *>(watched)->text();
        if (event->type() == QEvent::Paint && !text.isEmpty() && (Texts.isEmpty() || Texts.last() != text))
            Texts << text;
        return false;
    }
};

// Counts the paints a widget receives.
class TPaintCounter : public QObject {
public:
    int Paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++Paints;
        return false;
    }
};

} // namespace

class MainCommandsTest : public ShellFixture {
protected:
    QString TempFile(const char *name) const { return Temp.filePath(QLatin1String(name)); }

    // A department table and two tables referencing it, all at one place.
    void AddReferencingTables(int left = 10, int top = 10)
    {
        TDiagramTable *dept = AddTable(*CurrentModel, "HR", "DEPT", left, top, 120, 80);
        AddColumn(*dept, "ID");
        AddPrimaryKey(*dept, "DEPT_PK", {"ID"});
        for (const char *name : {"EMP", "PROJ"}) {
            TDiagramTable *table = AddTable(*CurrentModel, "HR", name, left, top, 120, 80);
            AddColumn(*table, "DEPT_ID");
            AddForeignKey(*table, QStringLiteral("%1_DEPT_FK").arg(name), {"DEPT_ID"}, "HR", "DEPT", {"ID"});
        }
    }

    QStringList SaveDialogFileNames() const
    {
        QStringList names;
        for (const auto &call : Ui.CallsOf(TUserInterfaceCallKind::SaveFile))
            names << call.File.FileName;
        return names;
    }
};

// ---------------------------------------------------------------------------
// Save and Save As

TEST_F(MainCommandsTest, SaveAsWritesThePageUnderTheChosenNameAndListsItForReopening)
{
    Tfrmgui &form = Start({"file="});
    AddTable(*CurrentModel, "HR", "EMP");
    const QString name = TempFile("hr.xml");
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(name));
    form.Action("actSaveAs")->trigger();

    const auto dialogs = Ui.CallsOf(TUserInterfaceCallKind::SaveFile);
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs[0].File.Filter, "XML files (*.xml)|*.xml|All files (*.*)|*.*");
    EXPECT_EQ(dialogs[0].File.DefaultExt, "xml");
    EXPECT_EQ(dialogs[0].File.FileName, "New Model");
    EXPECT_TRUE(Ui.Messages().isEmpty());
    EXPECT_EQ(Ui.HourglassDepth(), 0);

    const QByteArray written = ReadFile(name);
    EXPECT_TRUE(written.startsWith("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"));
    EXPECT_TRUE(written.contains("<property name=\"name\">EMP</property>"));
    EXPECT_EQ(CurrentModel->FileName, name);
    // The tab shows the page's name, which saving leaves alone.
    EXPECT_EQ(TabTexts(), QStringList({"New Model"}));
    EXPECT_EQ(Preferences->PreviousFiles.value(0), name);
    auto *reopen = Find<QMenu>("mnuReopen");
    ASSERT_FALSE(reopen->actions().isEmpty());
    EXPECT_EQ(reopen->actions()[0]->data().toString(), name);
}

TEST_F(MainCommandsTest, CancellingTheDialogWritesNothing)
{
    Tfrmgui &form = Start({"file="});
    for (const char *action : {"actSave", "actSaveAs"}) {
        Ui.QueueAnswer(TUserInterfaceAnswer::Cancel());
        form.Action(action)->trigger();
    }
    EXPECT_EQ(Ui.CallsOf(TUserInterfaceCallKind::SaveFile).size(), 2);
    EXPECT_TRUE(CurrentModel->FileName.isEmpty());
    EXPECT_TRUE(Preferences->PreviousFiles.isEmpty());
    EXPECT_TRUE(Ui.Messages().isEmpty());
}

// The page takes the new name only once the replace question was answered OK:
// after Cancel it is neither written nor bound to the file it declined.
TEST_F(MainCommandsTest, SavingOverAnExistingFileAsksFirst)
{
    for (const bool replace : {false, true}) {
        SCOPED_TRACE(replace ? "OK" : "Cancel");
        Tfrmgui &form = Start({"file="});
        AddTable(*CurrentModel, "HR", "EMP");
        const QString name = TempFile(replace ? "replaced.xml" : "kept.xml");
        WriteFile(name, "old contents");
        Ui.Clear();
        Ui.QueueAnswer(TUserInterfaceAnswer::Path(name));
        Ui.QueueAnswer(replace ? TUserInterfaceAnswer::Ok() : TUserInterfaceAnswer::Cancel());
        // A page never saved goes through Save As.
        form.Action("actSave")->trigger();

        EXPECT_EQ(Ui.Messages(), QStringList({ReplaceQuestion.arg(name)}));
        EXPECT_EQ(Ui.CallsOf(TUserInterfaceCallKind::ConfirmOkCancel).size(), 1);
        if (replace) {
            EXPECT_TRUE(ReadFile(name).contains("<property name=\"name\">EMP</property>"));
            EXPECT_EQ(CurrentModel->FileName, name);
        } else {
            EXPECT_EQ(ReadFile(name), "old contents");
            EXPECT_TRUE(CurrentModel->FileName.isEmpty());
            // So the next Save asks for a name again instead of writing there.
            Ui.QueueAnswer(TUserInterfaceAnswer::Cancel());
            form.Action("actSave")->trigger();
            EXPECT_EQ(Ui.CallsOf(TUserInterfaceCallKind::SaveFile).size(), 2);
            EXPECT_EQ(ReadFile(name), "old contents");
        }
        Form.reset();
    }
}

TEST_F(MainCommandsTest, SaveOnAPageWithAFileWritesWithoutAsking)
{
    Tfrmgui &form = Start({"file="});
    const QString name = TempFile("page.xml");
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(name));
    form.Action("actSaveAs")->trigger();
    ASSERT_TRUE(QFile::exists(name));
    Ui.Clear();

    AddTable(*CurrentModel, "HR", "DEPT");
    form.Action("actSave")->trigger();
    EXPECT_TRUE(Ui.CallsOf(TUserInterfaceCallKind::SaveFile).isEmpty());
    EXPECT_TRUE(Ui.Messages().isEmpty());
    EXPECT_TRUE(ReadFile(name).contains("<property name=\"name\">DEPT</property>"));
    EXPECT_EQ(Ui.HourglassDepth(), 0);
}

TEST_F(MainCommandsTest, AFailedSaveIsShownAndThePageKeepsItsFile)
{
    Tfrmgui &form = Start({"file="});
    const QString name = TempFile("page.xml");
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(name));
    form.Action("actSaveAs")->trigger();
    const QByteArray saved = ReadFile(name);
    ASSERT_FALSE(saved.isEmpty());
    Ui.Clear();

    AddTable(*CurrentModel, "HR", "EMP");
    const QString unreachable = TempFile("no/such/folder/page.xml");
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(unreachable));
    form.Action("actSaveAs")->trigger();
    ASSERT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 1);
    EXPECT_THAT(Ui.Messages()[0].toStdString(), HasSubstr(unreachable.toStdString()));
    EXPECT_EQ(CurrentModel->FileName, name);
    EXPECT_EQ(ReadFile(name), saved);
    EXPECT_FALSE(Preferences->PreviousFiles.contains(unreachable));
    EXPECT_EQ(Ui.HourglassDepth(), 0);

    // Save still writes to the page's own file.
    form.Action("actSave")->trigger();
    EXPECT_TRUE(ReadFile(name).contains("<property name=\"name\">EMP</property>"));
}

// ---------------------------------------------------------------------------
// Save as Picture

TEST_F(MainCommandsTest, PicturesAreWrittenByTheirExtensionAndOpened)
{
    TScopedRecordingShell shell;
    Tfrmgui &form = StartWithCanvas({"file="});
    AddTable(*CurrentModel, "HR", "EMP", 20, 30, 100, 60);
    form.Diagram().Rebuild();

    const QString bitmap = TempFile("page.BMP");
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(bitmap));
    form.Action("actSaveAsPicture")->trigger();
    const auto dialogs = Ui.CallsOf(TUserInterfaceCallKind::SaveFile);
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs[0].File.Filter, "GIF Files (*.gif)|*.gif|JPEG files (*.jpg)|*.jpg|Bitmap files (*.bmp)|*.bmp|"
                                      "Windows Meta files (*.wmf)|*.wmf|All files (*.*)|*.*");
    EXPECT_EQ(dialogs[0].File.DefaultExt, "gif");
    EXPECT_EQ(dialogs[0].File.FileName, "New Model.gif");
    EXPECT_TRUE(Ui.Messages().isEmpty());
    const QImage picture(bitmap, "BMP");
    ASSERT_FALSE(picture.isNull());
    // The page from its corner to the farthest box plus the margin.
    EXPECT_EQ(picture.size(), QSize(150, 120));
    EXPECT_GT(Ui.CallsOf(TUserInterfaceCallKind::BeginHourglass).size(), 0);
    EXPECT_EQ(Ui.HourglassDepth(), 0);

    const QString metafile = TempFile("page.wmf");
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(metafile));
    form.Action("actSaveAsPicture")->trigger();
    EXPECT_EQ(ReadFile(metafile).mid(40, 4), " EMF");

    EXPECT_EQ(shell.OpenedDocuments, QStringList({bitmap, metafile}));
}

TEST_F(MainCommandsTest, TheProposedNameOfAnyPageIsAcceptedAsAGifWhoseStagesShowInTheStatusBar)
{
    TScopedRecordingShell shell;
    Tfrmgui &form = StartWithCanvas({"file="});
    form.NewModelPage();  // "New Model.1": the dialog adds no extension to a name with a dot
    AddTable(*CurrentModel, "HR", "EMP", 20, 30, 100, 60);
    form.Diagram().Rebuild();
    QStringList shown;
    TTextRecorder recorder(shown);
    form.StatusPanel(1)->installEventFilter(&recorder);
    QCoreApplication::processEvents();  // the window is exposed, so the bar can paint at once
    // The dialog answers with the name it proposed, in a folder of the test's.
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(TempFile("New Model.1.gif")));
    form.Action("actSaveAsPicture")->trigger();
    ASSERT_EQ(Ui.CallsOf(TUserInterfaceCallKind::SaveFile)[0].File.FileName, "New Model.1.gif");
    EXPECT_TRUE(Ui.Messages().isEmpty()) << Ui.Messages().join('\n').toStdString();
    EXPECT_EQ(QImage(TempFile("New Model.1.gif"), "GIF").size(), QSize(150, 120));
    const QStringList stages = shown.filter("%");
    ASSERT_FALSE(stages.isEmpty());
    EXPECT_EQ(stages.first(), "Converting... 0%");
    EXPECT_TRUE(stages.contains("Saving... 100%"));
    EXPECT_EQ(form.StatusPanelText(1), "1 Object(s)");

    CurrentModel->Name = "HR.Bmp";  // a picture's name stays as it is
    Ui.QueueAnswer(TUserInterfaceAnswer::Cancel());
    form.Action("actSaveAsPicture")->trigger();
    EXPECT_EQ(Ui.CallsOf(TUserInterfaceCallKind::SaveFile)[1].File.FileName, "HR.Bmp");
}

TEST_F(MainCommandsTest, APictureNoProgramOpensSaysWhereItWasWritten)
{
    TScopedRecordingShell shell;
    shell.Result = false;
    Tfrmgui &form = StartWithCanvas({"file="});
    const QString jpeg = TempFile("page.jpg");
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(jpeg));
    form.Action("actSaveAsPicture")->trigger();
    EXPECT_TRUE(QFile::exists(jpeg));
    ASSERT_EQ(Ui.Messages().size(), 1);
    EXPECT_THAT(Ui.Messages()[0].toStdString(), HasSubstr(jpeg.toStdString()));
}

TEST_F(MainCommandsTest, APictureThatCannotBeMadeIsShownAndNotOpened)
{
    TScopedRecordingShell shell;
    Tfrmgui &form = StartWithCanvas({"file="});
    AddTable(*CurrentModel, "HR", "EMP");
    form.Diagram().Rebuild();

    const QString png = TempFile("page.Png");
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(png));
    form.Action("actSaveAsPicture")->trigger();
    EXPECT_EQ(Ui.Messages(), QStringList({"Unexpected file type: .Png"}));
    EXPECT_FALSE(QFile::exists(png));

    // Whatever the reason a picture fails, the message is shown and the cursor restored.
    Ui.Clear();
    const QString elsewhere = TempFile("no/such/folder/page.bmp");
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(elsewhere));
    form.Action("actSaveAsPicture")->trigger();
    ASSERT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 1);
    EXPECT_EQ(Ui.HourglassDepth(), 0);
    EXPECT_TRUE(shell.OpenedDocuments.isEmpty());
}

TEST_F(MainCommandsTest, ReplacingAPictureAsksAndCancelKeepsTheFile)
{
    TScopedRecordingShell shell;
    Tfrmgui &form = StartWithCanvas({"file="});
    const QString name = TempFile("page.bmp");
    WriteFile(name, "old picture");
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(name));
    Ui.QueueAnswer(TUserInterfaceAnswer::Cancel());
    form.Action("actSaveAsPicture")->trigger();
    EXPECT_EQ(Ui.Messages(), QStringList({ReplaceQuestion.arg(name)}));
    EXPECT_EQ(ReadFile(name), "old picture");
    EXPECT_TRUE(shell.OpenedDocuments.isEmpty());

    Ui.QueueAnswer(TUserInterfaceAnswer::Path(name));
    Ui.QueueAnswer(TUserInterfaceAnswer::Ok());
    form.Action("actSaveAsPicture")->trigger();
    EXPECT_FALSE(QImage(name, "BMP").isNull());
    EXPECT_EQ(shell.OpenedDocuments, QStringList({name}));
}

// ---------------------------------------------------------------------------
// Layout

TEST_F(MainCommandsTest, LayoutAsksFirstAndOnOkMovesTheBoxes)
{
    Tfrmgui &form = StartWithCanvas({"file="});
    AddReferencingTables();
    form.Diagram().Rebuild();
    const auto places = [] {
        std::set<std::pair<int, int>> seen;
        for (TDiagramTable *table : CurrentModel->Tables) {
            const TRect box = TOSGraphic::BoxOf(table)->BoundsRect();
            EXPECT_EQ(box.Left, table->Left);
            EXPECT_EQ(box.Top, table->Top);
            seen.insert({table->Left, table->Top});
        }
        return seen;
    };
    ASSERT_EQ(places().size(), 1u);

    Ui.QueueAnswer(TUserInterfaceAnswer::Cancel());
    form.Action("actLayoutDiagram")->trigger();
    EXPECT_EQ(Ui.Messages(), QStringList({"Continue and layout the current diagram?"}));
    EXPECT_EQ(places().size(), 1u);

    Ui.QueueAnswer(TUserInterfaceAnswer::Ok());
    form.Action("actLayoutDiagram")->trigger();
    EXPECT_EQ(Ui.Messages().size(), 2);
    // Every table on a place of its own, each box where its table now is.
    EXPECT_EQ(places().size(), 3u);
}

TEST_F(MainCommandsTest, RefreshRebuildsTheBoxesOfThePage)
{
    Tfrmgui &form = StartWithCanvas({"file="});
    TDiagramTable *table = AddTable(*CurrentModel, "HR", "EMP");
    EXPECT_EQ(TOSGraphic::BoxOf(table), nullptr);
    form.Action("actRefresh")->trigger();
    EXPECT_NE(TOSGraphic::BoxOf(table), nullptr);
    EXPECT_EQ(form.StatusPanelText(1), "1 Object(s)");
}

// ---------------------------------------------------------------------------
// Plan view

class PlanViewTest : public MainCommandsTest {
protected:
    // A page reaching far beyond the scroll box, so part of it is hidden.
    Tfrmgui &StartWithLargePage()
    {
        Tfrmgui &form = StartWithCanvas({"file="});
        AddReferencingTables();
        AddTable(*CurrentModel, "HR", "FAR_AWAY", 1500, 1200, 120, 80);
        form.Diagram().Rebuild();
        QCoreApplication::processEvents();
        return form;
    }
    QWidget *Plan() const { return Find<QWidget>("pbox"); }
    QScrollArea *ScrollBox() const { return Find<QScrollArea>("sboxDiagram"); }
};

TEST_F(PlanViewTest, PaintsThePageInMiniatureWithTheVisibleAreaFramed)
{
    StartWithLargePage();
    OverviewViewRect = TRect{};
    OverviewScale = 0.0;
    const QImage plan = Plan()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QSize surface = ScrollBox()->widget()->size();
    const double scale = std::min(double(Plan()->width()) / surface.width(),
                                  double(Plan()->height()) / surface.height());
    EXPECT_DOUBLE_EQ(OverviewScale, scale);

    // The grey frame of the visible area starts at the page's corner.
    EXPECT_EQ(OverviewViewRect.Left, -1);
    EXPECT_EQ(OverviewViewRect.Top, -1);
    EXPECT_EQ(plan.pixel(OverviewViewRect.Right, OverviewViewRect.Bottom / 2) & 0xFFFFFF, 0x808080u);
    // The far box is outlined in black on white near the page's far corner.
    const int right = static_cast<int>(std::nearbyint(1620 * scale));
    const int bottom = static_cast<int>(std::nearbyint(1280 * scale));
    EXPECT_EQ(plan.pixel(right - 1, bottom - 3) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(plan.pixel(right - 4, bottom - 4) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(PlanViewTest, DraggingTheFrameScrollsTheDiagram)
{
    StartWithLargePage();
    (void)Plan()->grab();
    ASSERT_GT(OverviewScale, 0.0);
    const double scale = OverviewScale;
    QScrollBar *horizontal = ScrollBox()->horizontalScrollBar();
    QScrollBar *vertical = ScrollBox()->verticalScrollBar();
    ASSERT_EQ(horizontal->value(), 0);

    // A press outside the frame does not scroll.
    const QPoint outside(OverviewViewRect.Right + 5, OverviewViewRect.Bottom + 5);
    SendMouse(Plan(), QEvent::MouseButtonPress, outside);
    SendMouse(Plan(), QEvent::MouseMove, outside + QPoint(10, 10));
    SendMouse(Plan(), QEvent::MouseButtonRelease, outside + QPoint(10, 10));
    EXPECT_EQ(horizontal->value(), 0);
    EXPECT_EQ(vertical->value(), 0);

    const QPoint inside((OverviewViewRect.Left + OverviewViewRect.Right) / 2,
                        (OverviewViewRect.Top + OverviewViewRect.Bottom) / 2);
    SendMouse(Plan(), QEvent::MouseButtonPress, inside);
    SendMouse(Plan(), QEvent::MouseMove, inside + QPoint(12, 5));
    EXPECT_EQ(horizontal->value(), static_cast<int>(std::nearbyint(12 / scale)));
    EXPECT_EQ(vertical->value(), static_cast<int>(std::nearbyint(5 / scale)));
    SendMouse(Plan(), QEvent::MouseButtonRelease, inside + QPoint(12, 5));

    // After the release moving scrolls no more.
    const int x = horizontal->value();
    SendMouse(Plan(), QEvent::MouseMove, inside + QPoint(30, 30));
    EXPECT_EQ(horizontal->value(), x);

    // The next paint frames the part now shown.
    (void)Plan()->grab();
    EXPECT_EQ(OverviewViewRect.Left, static_cast<int>(std::nearbyint(x * scale)) - 1);
}

TEST_F(PlanViewTest, ScrollingAndChangingPagesRepaintThePlan)
{
    Tfrmgui &form = StartWithLargePage();
    TPaintCounter counter;
    Plan()->installEventFilter(&counter);
    QCoreApplication::processEvents();

    counter.Paints = 0;
    ScrollBox()->verticalScrollBar()->setValue(200);
    QCoreApplication::processEvents();
    EXPECT_GT(counter.Paints, 0);

    counter.Paints = 0;
    form.Action("actNewPage")->trigger();
    QCoreApplication::processEvents();
    EXPECT_GT(counter.Paints, 0);
    Plan()->removeEventFilter(&counter);
}
