// Files that are no diagram file or change while they are read: each load
// ends in its page or in a message naming the file, never in a hang, an
// abort or a page mixed from two versions of the file.
#include "diagram_xml_test_support.h"
#include "model/diagram_file_preload.h"
#include "model/diagram_xml_reader.h"
#include "model/xml_parser.h"
#include "platform/read_file.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using SpecialDiagramFiles = DiagramFileTest;

// The failure's message, or an empty text when the file loaded.
QString LoadMessage(const QString &path)
{
    try {
        CurrentModel->LoadModelFromFile(nullptr, false, path);
    } catch (const EXMLFileError &e) {
        return e.Message();
    }
    return {};
}

void Overwrite(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.write(bytes);
}

// A page whose every table has that owner; 900 tables make it more than a
// window of reading long.
QByteArray PageOwnedBy(const QString &owner, int tables = 900)
{
    TDiagramObjectModel page;
    page.Name = "Page of " + owner;
    for (int i = 0; i < tables; ++i) {
        TDiagramTable *table = AddTable(page, owner, QStringLiteral("T%1").arg(i), i, i, 100, 60);
        for (const char *column : {"ID", "NAME", "CREATED", "COMMENTS"})
            AddColumn(*table, column);
    }
    return TXmlText::ToFileBytes(page.BuildDiagramXml(true));
}

QStringList Owners()
{
    QStringList owners;
    for (int i = 0; i < CurrentModel->Tables.Count(); ++i)
        if (!owners.contains(CurrentModel->Tables.GetTable(i)->Owner))
            owners << CurrentModel->Tables.GetTable(i)->Owner;
    return owners;
}

TEST_F(SpecialDiagramFiles, WhatCannotBeADiagramIsRefusedAtOnceInWordsNamingTheFile)
{
    QTemporaryDir dir;
    const QString empty = dir.filePath("empty.xml"), text = dir.filePath("text.xml"),
                  spaces = dir.filePath("spaces.xml"), huge = dir.filePath("huge.xml"),
                  fifo = dir.filePath("fifo.xml");
    Overwrite(empty, "");
    Overwrite(text, "name;owner\r\nEMP;HR\r\n");
    Overwrite(spaces, QByteArray(70000, ' ') + "<a/>");
    // A sparse terabyte: more than memory allows, and all zeros after its root.
    Overwrite(huge, "<marrowtide_diagram version=\"1.1\">");
    const bool sparse = QFile(huge).resize(qint64(1) << 40);
    // No program writes to the pipe: it is waited for a while, not for good.
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    TReadFile::SetPipeWait(100);
    const QString notAFile = "\". It is not a file but a folder, a device or a socket.";
    const std::pair<QString, QString> cases[] = {
        {empty, "The file is empty."},
        {fifo, "Nothing came through the pipe for 0.1 seconds: no program writes to it."},
        {text, "The file holds no XML: there is no \"<\" in it."},
        {spaces, "The file holds no XML: there is no \"<\" in its first 64 KB."},
        {"/dev/zero", "Cannot open file \"/dev/zero" + notAFile},
        {dir.path(), "Cannot open file \"" + dir.path() + notAFile},
        {huge, "The file is too large to open: 1048576 MB, where the memory of this computer allows "},
    };
    for (const auto &[path, reason] : cases) {
        if (path == huge && !sparse)
            continue;
        const QString message = LoadMessage(path);
        EXPECT_TRUE(message.startsWith("Error loading XML file " + path + "\n" + reason)) << message.toStdString();
    }
    TReadFile::SetPipeWait(5000);
}

// A named pipe cannot be read twice: opened from the menu or at start-up,
// its text is read once and loads.
TEST_F(SpecialDiagramFiles, APipeIsReadOnce)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo.xml");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QByteArray page = PageOwnedBy("PIPED", 5);
    ASSERT_LT(page.size(), 60000) << "the text must fit in the pipe before anyone reads it";
    for (const bool atStartUp : {false, true}) {
        // The test holds the pipe open for reading, so that the writer's text
        // waits in it and the writer can go before the load opens it.
        const int holder = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(holder, 0);
        {
            QFile writer(fifo);
            ASSERT_TRUE(writer.open(QIODevice::WriteOnly));
            writer.write(page);
        }
        if (atStartUp)
            TDiagramFilePreload::Start({fifo});
        CurrentModel->Tables.Clear();
        EXPECT_EQ(LoadMessage(fifo), "");
        EXPECT_EQ(Owners(), QStringList({"PIPED"}));
        EXPECT_EQ(CurrentModel->Tables.Count(), 5);
        ::close(holder);
        TDiagramFilePreload::Finish();
    }
}

// Memory that runs out while the file is read at start-up is reported by the
// load that takes the file, as any other failure is.
TEST_F(SpecialDiagramFiles, AFailureWhileReadingAtStartUpIsTheLoadsFailure)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("page.xml");
    Overwrite(path, PageOwnedBy("HR", 2));
    TDirtyXMLParser::SetReadHook([] { throw std::bad_alloc(); });
    TDiagramFilePreload::Start({path});
    const QString message = LoadMessage(path);
    TDirtyXMLParser::SetReadHook(nullptr);
    TDiagramFilePreload::Finish();
    EXPECT_EQ(message, "Error loading XML file " + path + "\nThere was not enough memory to read the file.");
    // Read by the load itself the same.
    TDirtyXMLParser::SetReadHook([] { throw std::bad_alloc(); });
    EXPECT_EQ(LoadMessage(path), message);
    TDirtyXMLParser::SetReadHook(nullptr);
}

// Another program rewrites the file in place (same size, other owner) while
// it is read: the page is all of the new file, never part of each; a file
// that keeps changing is refused.
TEST_F(SpecialDiagramFiles, AFileRewrittenWhileReadIsReadAgainOrRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("page.xml");
    const QByteArray before = PageOwnedBy("OLD"), after = PageOwnedBy("NEW");
    ASSERT_GT(before.size(), 1 << 20);
    ASSERT_EQ(before.size(), after.size());
    const QDateTime written = QDateTime::currentDateTime().addSecs(-3600);
    int reads = 0;
    const auto rewriteAtFirstRead = [&] {
        Overwrite(path, before);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(written, QFileDevice::FileModificationTime));
        reads = 0;
        TDirtyXMLParser::SetReadHook([&] {
            if (++reads == 1)
                Overwrite(path, after);
        });
    };
    for (const bool preloaded : {false, true}) {
        rewriteAtFirstRead();
        if (preloaded)
            TDiagramFilePreload::Start({path});
        CurrentModel->Tables.Clear();
        EXPECT_EQ(LoadMessage(path), "");
        TDirtyXMLParser::SetReadHook(nullptr);
        TDiagramFilePreload::Finish();
        EXPECT_EQ(Owners(), QStringList({"NEW"}));
        EXPECT_EQ(CurrentModel->Tables.Count(), 900);
    }
    // The parser alone reads it again.
    rewriteAtFirstRead();
    TDirtyXMLParser parser;
    ASSERT_TRUE(parser.LoadFromFile(path));
    TDirtyXMLParser::SetReadHook(nullptr);
    const TXMLElement *tables = parser.Root()->FindChild("tables");
    const auto ownerOf = [&](int table) {
        for (const TXMLElement *property : tables->Children().Items(table)->Children())
            if (property->GetAttribute("name") == "owner")
                return property->Text();
        return QString();
    };
    EXPECT_EQ(ownerOf(0) + ownerOf(899), "NEWNEW");
    // Rewritten at every read, a second apart.
    int rewrites = 0;
    TDirtyXMLParser::SetReadHook([&] {
        Overwrite(path, ++rewrites % 2 ? before : after);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite)
                    && file.setFileTime(written.addSecs(rewrites), QFileDevice::FileModificationTime));
    });
    EXPECT_EQ(LoadMessage(path), "Error loading XML file " + path
                                     + "\nThe file kept changing while it was read: another program is writing it.");
    TDirtyXMLParser::SetReadHook(nullptr);
}

} // namespace
