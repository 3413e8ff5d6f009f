// Where the SQL editor opens, where its keyboard focus goes, how its panes
// share the room, how its text is coloured, and which SQL the sample answers.
#include "dbtools/sql_highlighter.h"
#include "platform/fake_user_interface.h"
#include "query_wait.h"
#include "sample_database.h"

#include <QApplication>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QStackedWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

class SqlEditorWindowTest : public ::testing::Test {
protected:
    SqlEditorWindowTest()
    {
        Menu = new QMenuBar(&Main);
        Menu->addMenu(QStringLiteral("&File"));
        Menu->setGeometry(0, 0, 640, 30);
        Main.setGeometry(10, 40, 640, 600);
        Main.show();
    }
    static QPlainTextEdit *Editor(TfrmSQLQuery *form) { return form->findChild<QPlainTextEdit *>("memSQL"); }

    TConfigFolderScope Config;
    TSampleSessionScope Scope;
    TScopedFakeUserInterface Ui;
    TWindowListStandIn Main;
    QMenuBar *Menu;
};

} // namespace

// Over the main window below its menu bar, each further window a step on, a
// closed window's place taken again, and typing goes to the newest editor.
TEST_F(SqlEditorWindowTest, OpensOverTheMainWindowWithTheFocusInTheEditor)
{
    const QPoint below = Menu->mapToGlobal(QPoint(0, Menu->height()));
    QPointer<TfrmSQLQuery> first = TfrmSQLQuery::Create();
    TfrmSQLQuery *second = TfrmSQLQuery::Create();
    EXPECT_EQ(first->pos(), QPoint(below.x() + 28, below.y() + 28));
    EXPECT_EQ(second->pos(), first->pos() + QPoint(28, 28));
    EXPECT_EQ(first->size(), QSize(720, 560));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), Editor(second));
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    TfrmSQLQuery *third = TfrmSQLQuery::Create();
    EXPECT_EQ(third->pos(), QPoint(below.x() + 28, below.y() + 28));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), Editor(third));

    // Near the screen's edge the window stays on the screen.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    Main.move(screen.right() - 100, screen.bottom() - 100);
    TfrmSQLQuery *edge = TfrmSQLQuery::Create();
    EXPECT_TRUE(screen.contains(edge->frameGeometry()));
}

// A script's text gets the room, a query's rows get it.
TEST_F(SqlEditorWindowTest, AScriptsTextGetsTheRoom)
{
    TfrmSQLQuery *form = TfrmSQLQuery::Create();
    auto *results = form->findChild<QStackedWidget *>("pnlResults");
    form->SetScriptMode(true);
    EXPECT_GT(Editor(form)->height(), 2 * results->height());
    form->SetScriptMode(false);
    EXPECT_GT(results->height(), Editor(form)->height());
}

// The sample is SQLite underneath: its own SQL runs, Oracle's functions do not.
TEST_F(SqlEditorWindowTest, TheSampleAnswersSQLitesSQL)
{
    TfrmSQLQuery *form = TfrmSQLQuery::Create();
    form->RunQuery("select date('2024-02-29', '+1 day') from dual");
    ASSERT_TRUE(WaitForQuery(form));
    EXPECT_EQ(GridText(form, 0, 0), "2024-03-01");
    form->RunQuery("select sysdate from dual");
    ASSERT_TRUE(WaitForQuery(form));
    EXPECT_EQ(Ui.Messages(), QStringList({"no such column: sysdate"}));
}

// A name in double quotes is one plain name: a quote, "--", "/*" or a keyword
// inside it colours nothing, on its line or the lines after it.
TEST(SQLHighlighter, QuotedNamesAreOneName)
{
    struct TCase {
        const char *Text;
        const char *Colours; // per character: k keyword, s string, c comment, n number, . none
    };
    const TCase cases[] = {
        {"from HR.\"O'NEIL\" where 'abc'", "kkkk.............kkkkk.sssss"},
        {"\"select -- x\" 1", "..............n"},
        {"\"a /* b\" or", ".........kk"},
        {"\"A\"\"B\" in", ".......kk"},
        {"\"open\nfrom 'x\" from", ".....\n.........kkkk"},
        {"'a\"b' \"c'd\" --e", "sssss.......ccc"},
    };
    for (const TCase &test : cases) {
        QTextDocument document;
        TSQLHighlighter highlighter(&document);
        document.setPlainText(QString::fromLatin1(test.Text));
        highlighter.rehighlight();
        const std::pair<const QTextCharFormat *, QChar> kinds[] = {{&highlighter.KeywordFormat, 'k'},
                                                                  {&highlighter.StringFormat, 's'},
                                                                  {&highlighter.CommentFormat, 'c'},
                                                                  {&highlighter.NumberFormat, 'n'}};
        QStringList lines;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            QString colours(block.length() - 1, '.');
            for (const QTextLayout::FormatRange &range : block.layout()->formats())
                for (const auto &[format, letter] : kinds)
                    if (range.format == *format)
                        colours.replace(range.start, range.length, QString(range.length, letter));
            lines << colours;
        }
        EXPECT_EQ(lines.join('\n'), test.Colours) << test.Text;
    }
}

// Every line of a comment keeps the comment's colour, however many lines it
// has, whatever precedes it on its first line and whichever way it closes.
TEST(SQLHighlighter, CommentsKeepTheirColourOnEveryLine)
{
    struct TCase {
        const char *Text;
        const char *Commented; // per line: c starts in the comment, - does not
    };
    const TCase cases[] = {
        {"/* one\ntwo\nthree\nfour\nfive */ select 1\nselect 2", "ccccc-"},
        {"select 1 /* one\ntwo\nthree\nfour */", "-ccc"},
        {"select 'it''s\nstill' /* a\nb\nc */ from dual", "--cc"},
        {"/* a */ /* b\nc\nd\ne */ x\ny", "cccc-"},
        {"-- /* not opened\nselect 1\n/*\n*\n*\n*/", "c-cccc"},
    };
    for (const TCase &test : cases) {
        QTextDocument document;
        TSQLHighlighter highlighter(&document);
        document.setPlainText(QString::fromLatin1(test.Text));
        highlighter.rehighlight();
        QString commented;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            bool inComment = false;
            for (const QTextLayout::FormatRange &range : block.layout()->formats())
                inComment = inComment || (range.start == 0 && range.format == highlighter.CommentFormat);
            commented += inComment ? QLatin1Char('c') : QLatin1Char('-');
        }
        EXPECT_EQ(commented, test.Commented) << test.Text;
    }
}
