// The main window's page commands driven through their actions: saving with
// the replace question, pictures of the page, the layout question, and the plan
// view painting the page in miniature and scrolling it by dragging.
#include "shell_fixture.h"

#include "canvas/os_graphic.h"
#include "canvas/overview.h"
#include "model_builders.h"
#include "platform/picture_formats.h"
#include "platform/shell.h"

#include <cmath>
#include <set>

namespace {

const QString ReplaceQuestion = QStringLiteral("File with name %1 already exists. \r\nContinue and replace file?");

void SendMouse(QWidget *widget, QEvent::Type type, QPoint at)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

// Counts the paints a widget receives and records the texts a label paints,
// each once in a row.
class TPaintRecorder : public QObject {
public:
    int Paints = 0;
    QStringList Texts;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        ++Paints;
        const auto *label = qobject_cast<QLabel *>(watched);
        if (label && !label->text().isEmpty() && (Texts.isEmpty() || Texts.last() != label->text()))
            Texts << label->text();
        return false;
    }
};

} // namespace

class MainCommandsTest : public ShellFixture {
protected:
    // A department table and two tables referencing it, all at one place.
    void AddReferencingTables()
    {
        TDiagramTable *dept = AddTable(*CurrentModel, "HR", "DEPT", 10, 10, 120, 80);
        AddColumn(*dept, "ID");
        AddPrimaryKey(*dept, "DEPT_PK", {"ID"});
        for (const char *name : {"EMP", "PROJ"}) {
            TDiagramTable *table = AddTable(*CurrentModel, "HR", name, 10, 10, 120, 80);
            AddColumn(*table, "DEPT_ID");
            AddForeignKey(*table, QStringLiteral("%1_DEPT_FK").arg(name), {"DEPT_ID"}, "HR", "DEPT", {"ID"});
        }
    }
};

// The page takes the new name only once the replace question was answered OK:
// after Cancel it is neither written nor bound to the file it declined.
TEST_F(MainCommandsTest, SavingAsksForANameOnceAndBeforeReplacingAFile)
{
    Tfrmgui &form = Start({"file="});
    AddTable(*CurrentModel, "HR", "EMP");
    const QString name = TempFile("kept.xml");
    WriteFile(name, "old contents");
    for (const char *action : {"actSave", "actSaveAs"}) {
        Ui.QueueAnswer(TUserInterfaceAnswer::Cancel());
        form.Action(action)->trigger();
    }
    // A page never saved goes through Save As; Cancel at the question keeps the file.
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(name));
    Ui.QueueAnswer(TUserInterfaceAnswer::Cancel());
    form.Action("actSave")->trigger();
    EXPECT_EQ(Ui.Messages(), QStringList({ReplaceQuestion.arg(name)}));
    EXPECT_EQ(ReadFile(name), "old contents");
    EXPECT_TRUE(CurrentModel->FileName.isEmpty());
    EXPECT_TRUE(Preferences->PreviousFiles.isEmpty());

    Ui.QueueAnswer(TUserInterfaceAnswer::Path(name));
    Ui.QueueAnswer(TUserInterfaceAnswer::Ok());
    form.Action("actSave")->trigger();
    const auto dialogs = Ui.CallsOf(TUserInterfaceCallKind::SaveFile);
    ASSERT_EQ(dialogs.size(), 4);
    EXPECT_EQ(dialogs[3].File.Filter + dialogs[3].File.DefaultExt, "XML files (*.xml)|*.xml|All files (*.*)|*.*xml");
    EXPECT_EQ(dialogs[3].File.FileName, "New Model");
    EXPECT_TRUE(ReadFile(name).contains("<property name=\"name\">EMP</property>"));
    EXPECT_EQ(CurrentModel->FileName, name);
    EXPECT_EQ(Find<QMenu>("mnuReopen")->actions().value(0)->data().toString(), name);

    // Save on a page with a file writes without asking.
    Ui.Clear();
    AddTable(*CurrentModel, "HR", "DEPT");
    form.Action("actSave")->trigger();
    EXPECT_TRUE(Ui.CallsOf(TUserInterfaceCallKind::SaveFile).isEmpty());
    EXPECT_TRUE(Ui.Messages().isEmpty());
    EXPECT_TRUE(ReadFile(name).contains("<property name=\"name\">DEPT</property>"));

    // A failed Save As is shown and the page keeps its file.
    const QByteArray saved = ReadFile(name);
    const QString unreachable = TempFile("no/such/folder/page.xml");
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(unreachable));
    form.Action("actSaveAs")->trigger();
    ASSERT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 1);
    EXPECT_THAT(Ui.Messages()[0].toStdString(), HasSubstr(unreachable.toStdString()));
    EXPECT_EQ(CurrentModel->FileName, name);
    EXPECT_EQ(ReadFile(name), saved);
    EXPECT_FALSE(Preferences->PreviousFiles.contains(unreachable));
    EXPECT_EQ(Ui.HourglassDepth(), 0);
}

TEST_F(MainCommandsTest, PicturesAreWrittenByTheirExtensionAskBeforeReplacingAndOpen)
{
    TScopedRecordingShell shell;
    Tfrmgui &form = StartWithCanvas({"file="});
    AddTable(*CurrentModel, "HR", "EMP", 20, 30, 100, 60);
    form.Diagram().Rebuild();
    const QString bitmap = TempFile("page.BMP");
    WriteFile(bitmap, "old picture");
    for (bool replace : {false, true}) {
        Ui.QueueAnswer(TUserInterfaceAnswer::Path(bitmap));
        Ui.QueueAnswer(replace ? TUserInterfaceAnswer::Ok() : TUserInterfaceAnswer::Cancel());
        form.Action("actSaveAsPicture")->trigger();
        EXPECT_EQ(Ui.Messages().size(), replace ? 2 : 1);
        EXPECT_EQ(Ui.Messages().value(0), ReplaceQuestion.arg(bitmap));
        EXPECT_EQ(ReadFile(bitmap) == "old picture", !replace);
    }
    const auto dialogs = Ui.CallsOf(TUserInterfaceCallKind::SaveFile);
    EXPECT_EQ(dialogs[0].File.Filter, "GIF Files (*.gif)|*.gif|JPEG files (*.jpg)|*.jpg|Bitmap files (*.bmp)|*.bmp|"
                                      "Windows Meta files (*.wmf)|*.wmf|All files (*.*)|*.*");
    EXPECT_EQ(dialogs[0].File.DefaultExt + "|" + dialogs[0].File.FileName, "gif|New Model.gif");
    // The page from its corner to the farthest box plus the margin.
    EXPECT_EQ(QImage(bitmap, "BMP").size(), QSize(150, 120));
    EXPECT_GT(Ui.CallsOf(TUserInterfaceCallKind::BeginHourglass).size(), 0);

    const QString metafile = TempFile("page.wmf");
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(metafile));
    form.Action("actSaveAsPicture")->trigger();
    EXPECT_EQ(ReadFile(metafile).mid(40, 4), " EMF");
    EXPECT_EQ(shell.OpenedDocuments, QStringList({bitmap, metafile}));

    // Whatever the reason a picture fails, the message is shown, the cursor
    // restored and nothing opened.
    Ui.Clear();
    for (const QString &name : {TempFile("page.Png"), TempFile("no/such/folder/page.bmp")}) {
        Ui.QueueAnswer(TUserInterfaceAnswer::Path(name));
        form.Action("actSaveAsPicture")->trigger();
        EXPECT_FALSE(QFile::exists(name));
    }
    EXPECT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 2);
    EXPECT_EQ(Ui.Messages().value(0), "Unexpected file type: .Png");
    EXPECT_EQ(Ui.HourglassDepth(), 0);
    EXPECT_EQ(shell.OpenedDocuments.size(), 2);

    // The dialog lists what the picture registry holds.
    TPictureFormats::Register({"TIF", "Tagged Image", "TTiff", "TIFF files", 5});
    Ui.QueueAnswer(TUserInterfaceAnswer::Cancel());
    form.Action("actSaveAsPicture")->trigger();
    TPictureFormats::Unregister("tif");
    EXPECT_TRUE(Ui.CallsOf(TUserInterfaceCallKind::SaveFile).back().File.Filter.endsWith(
        "|*.wmf|TIFF files (*.tif)|*.tif|All files (*.*)|*.*"));
}

// The kind chosen in the dialog names a picture typed without an extension and
// decides its format; an extension typed still decides.
TEST_F(MainCommandsTest, TheChosenKindNamesAPictureTypedWithoutAnExtension)
{
    TScopedRecordingShell shell;
    Tfrmgui &form = StartWithCanvas({"file="});
    AddTable(*CurrentModel, "HR", "EMP", 20, 30, 100, 60);
    form.Diagram().Rebuild();
    const auto kind = [](const QByteArray &bytes) {
        return bytes.startsWith("GIF8")           ? "GIF"
               : bytes.startsWith("\xFF\xD8\xFF") ? "JPEG"
               : bytes.startsWith("BM")           ? "BMP"
               : bytes.mid(40, 4) == " EMF"       ? "EMF"
                                                  : "none";
    };
    const struct {
        const char *Typed;
        int Filter; // GIF, JPEG, Bitmap, Windows Meta, All files
        const char *Written, *Kind;
    } cases[] = {{"a", 1, "a.jpg", "JPEG"},  {"b", 2, "b.bmp", "BMP"},      {"c", 3, "c.wmf", "EMF"},
                 {"d", 0, "d.gif", "GIF"},   {"e", 4, "e.gif", "GIF"},      {"f.bmp", 1, "f.bmp", "BMP"},
                 {"g.JPEG", 3, "g.JPEG", "JPEG"}};
    QStringList written;
    for (const auto &c : cases) {
        Ui.QueueAnswer(TUserInterfaceAnswer::PathInFilter(TempFile(c.Typed), c.Filter));
        form.Action("actSaveAsPicture")->trigger();
        EXPECT_STREQ(kind(ReadFile(TempFile(c.Written))), c.Kind) << c.Typed << " in " << c.Filter;
        written << TempFile(c.Written);
    }
    EXPECT_EQ(Ui.Messages(), QStringList());
    EXPECT_EQ(shell.OpenedDocuments, written);
}

TEST_F(MainCommandsTest, TheProposedNameOfAnyPageIsAcceptedAsAGifWhoseStagesShowInTheStatusBar)
{
    TScopedRecordingShell shell;
    Tfrmgui &form = StartWithCanvas({"file="});
    form.NewModelPage(); // "New Model.1": the dialog adds no extension to a name with a dot
    AddTable(*CurrentModel, "HR", "EMP", 20, 30, 100, 60);
    form.Diagram().Rebuild();
    TPaintRecorder recorder;
    form.StatusPanel(1)->installEventFilter(&recorder);
    QCoreApplication::processEvents(); // the window is exposed, so the bar can paint at once
    // The dialog answers with the name it proposed, in a folder of the test's.
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(TempFile("New Model.1.gif")));
    form.Action("actSaveAsPicture")->trigger();
    ASSERT_EQ(Ui.CallsOf(TUserInterfaceCallKind::SaveFile)[0].File.FileName, "New Model.1.gif");
    EXPECT_TRUE(Ui.Messages().isEmpty()) << Ui.Messages().join('\n').toStdString();
    EXPECT_EQ(QImage(TempFile("New Model.1.gif"), "GIF").size(), QSize(150, 120));
    const QStringList stages = recorder.Texts.filter("%");
    ASSERT_FALSE(stages.isEmpty());
    EXPECT_EQ(stages.first(), "Converting... 0%");
    EXPECT_TRUE(stages.contains("Saving... 100%"));
    EXPECT_EQ(form.StatusPanelText(1), "1 Object(s)");

    CurrentModel->Name = "HR.Bmp"; // a picture's name stays as it is
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

TEST_F(MainCommandsTest, RefreshMakesTheBoxesAndLayoutAsksBeforeMovingThem)
{
    Tfrmgui &form = StartWithCanvas({"file="});
    AddReferencingTables();
    EXPECT_EQ(TOSGraphic::BoxOf(CurrentModel->Tables.GetTable(0)), nullptr);
    form.Action("actRefresh")->trigger();
    EXPECT_EQ(form.StatusPanelText(1), "3 Object(s)");
    // The places of the tables, each box where its table is.
    const auto places = [] {
        std::set<std::pair<int, int>> seen;
        for (TDiagramTable *table : CurrentModel->Tables) {
            const TRect box = TOSGraphic::BoxOf(table)->BoundsRect();
            EXPECT_EQ(std::pair(box.Left, box.Top), std::pair(table->Left, table->Top));
            seen.insert({table->Left, table->Top});
        }
        return seen.size();
    };
    ASSERT_EQ(places(), 1u);
    for (const bool ok : {false, true}) {
        Ui.QueueAnswer(ok ? TUserInterfaceAnswer::Ok() : TUserInterfaceAnswer::Cancel());
        form.Action("actLayoutDiagram")->trigger();
        EXPECT_EQ(Ui.Messages().last(), "Continue and layout the current diagram?");
        EXPECT_EQ(places(), ok ? 3u : 1u);
    }
}

TEST_F(MainCommandsTest, DraggingThePlanViewsFrameScrollsTheDiagramAndEveryChangeRepaints)
{
    // A page reaching far beyond the scroll box, so part of it is hidden.
    Tfrmgui &form = StartWithCanvas({"file="});
    AddReferencingTables();
    AddTable(*CurrentModel, "HR", "FAR_AWAY", 1500, 1200, 120, 80);
    form.Diagram().Rebuild();
    QCoreApplication::processEvents();
    QWidget *plan = Find<QWidget>("pbox");
    (void)plan->grab();
    ASSERT_GT(OverviewScale, 0.0);
    const double scale = OverviewScale;
    QScrollBar *horizontal = Find<QScrollArea>("sboxDiagram")->horizontalScrollBar();
    QScrollBar *vertical = Find<QScrollArea>("sboxDiagram")->verticalScrollBar();
    // The drag itself is the canvas's; here it reaches the scroll box and ends with the release.
    const QPoint inside((OverviewViewRect.Left + OverviewViewRect.Right) / 2,
                        (OverviewViewRect.Top + OverviewViewRect.Bottom) / 2);
    SendMouse(plan, QEvent::MouseButtonPress, inside);
    SendMouse(plan, QEvent::MouseMove, inside + QPoint(12, 5));
    EXPECT_EQ(horizontal->value(), static_cast<int>(std::nearbyint(12 / scale)));
    EXPECT_EQ(vertical->value(), static_cast<int>(std::nearbyint(5 / scale)));
    SendMouse(plan, QEvent::MouseButtonRelease, inside + QPoint(12, 5));
    const int x = horizontal->value();
    SendMouse(plan, QEvent::MouseMove, inside + QPoint(30, 30));
    EXPECT_EQ(horizontal->value(), x);

    TPaintRecorder counter;
    plan->installEventFilter(&counter);
    for (const auto &change : std::initializer_list<std::function<void()>>{
             [&] { vertical->setValue(200); }, [&] { form.Action("actNewPage")->trigger(); }}) {
        QCoreApplication::processEvents();
        counter.Paints = 0;
        change();
        QCoreApplication::processEvents();
        EXPECT_GT(counter.Paints, 0);
    }
    plan->removeEventFilter(&counter);
}

// A failed open adds no page, however often it is tried, and its message
// names the file.
TEST_F(MainCommandsTest, AFailedOpenAddsNoPage)
{
    Tfrmgui &form = StartWithCanvas({"file="});
    const QString empty = TempFile("empty.xml"), cut = TempFile("cut.xml");
    WriteFile(empty, "");
    WriteFile(cut, "<marrowtide_diagram version=\"1.1\">\r\n<tables><tab");
    form.NewModelPage();
    Find<QTabBar>("tabModels")->setCurrentIndex(0);
    for (const QString &name : {empty, cut, empty}) {
        Ui.QueueAnswer(TUserInterfaceAnswer::Path(name));
        form.Action("actOpen")->trigger();
    }
    // The page shown before stays shown.
    EXPECT_EQ(TabTexts(), QStringList({"New Model", "New Model.1"}));
    EXPECT_EQ(ModelNames(), TabTexts());
    EXPECT_EQ(Find<QTabBar>("tabModels")->currentIndex(), 0);
    EXPECT_EQ(CurrentModel, OpenModels->front().get());
    const QString emptyMessage = "Error loading XML file " + empty + "\nThe file is empty.";
    EXPECT_EQ(Ui.Messages(), QStringList({emptyMessage,
                                          "Error loading XML file " + cut + "\nUnterminated tag starting at position 45",
                                          emptyMessage}));
}
