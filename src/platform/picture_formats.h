#pragma once
// TPictureFormats: the one list of the picture kinds the program knows, by file extension.
// Each kind registers itself when the program starts; the picture dialogs build their
// filters from this list.
#include <QString>

#include <vector>

struct TPictureFormat {
    QString Extension;    // without the dot, as registered ("GIF")
    QString Description;  // the kind's own name ("GIF Image")
    QString ClassName;    // the class that holds such a picture
    QString FilterName;   // what a save dialog lists it as ("GIF Files")
    int FilterOrder = 0;  // its place in a save dialog's list, lowest first
};

class TPictureFormats {
public:
    TPictureFormats() = delete;

    // A kind registered again under the same extension (letter case aside) replaces the
    // earlier one. Answers true, so a registration can initialise a static.
    static bool Register(const TPictureFormat &format);
    static void Unregister(const QString &extension);
    // In the order a save dialog lists them.
    static std::vector<TPictureFormat> Formats();
    // "GIF Files (*.gif)|*.gif|...|All files (*.*)|*.*": every kind, then all files.
    static QString SaveFilter();
};
