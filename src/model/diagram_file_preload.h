#pragma once
// TDiagramFilePreload: the diagram files named when the program starts are
// read and parsed on a worker thread while the splash screen is up, so that
// opening them after it costs only building their pages. The load that opens
// such a file takes the finished parse instead of reading the file again;
// everything the load reports (a refused text, a file that cannot be read)
// it reports just as it would have, at the same point of the start-up.
#include <QString>
#include <QStringList>

#include <memory>

class TDirtyXMLParser;

class TDiagramFilePreload
{
public:
    TDiagramFilePreload() = delete;

    // Reads and parses the files one after the other on one worker thread.
    // Names are taken as absolute paths, as the start-up opens them. What an
    // earlier start left untaken is dropped first.
    static void Start(const QStringList &fileNames);

    // The parse of that file, when it was preloaded and the file is still the
    // one that was read (same inode, size and times of change; a pipe is
    // never read twice); waits for the worker when it has not finished the
    // file yet. Each parse is handed out once: the next load of the same name
    // reads the file itself. Parsed tells whether the text was accepted (the
    // parser's error message says why not). What the worker's reading raised
    // is raised here.
    static std::unique_ptr<TDirtyXMLParser> Take(const QString &fileName, bool &parsed);

    // Waits for the worker and drops every parse that no load took.
    static void Finish();
};
