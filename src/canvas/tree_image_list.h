#pragma once
// TTreeImageList: the explorer tree's icons, drawn by the program itself; the table
// boxes take their key icons from the same list.
#include <QIcon>
#include <QImage>

#include <vector>

class TTreeImageList {
public:
    // Image indexes as the trees and the boxes use them.
    enum : int {
        imgFolder = 0,
        imgTable = 1,
        imgForeignKey = 2,
        imgColumn = 3,
        imgPrimaryKey = 4,
        imgUniqueKey = 5,
        imgObjectTable = 6,
        imgType = 7,
        imgView = 8,
        imgOwner = 9,
        imgCount = 10
    };

    // The program's one list, made on first use.
    static const TTreeImageList &Instance();

    int Count() const { return static_cast<int>(Images_.size()); }
    // A 16 x 16 picture; an index outside the list gives a null image.
    QImage Image(int index) const;
    // The picture with the colour of its pixel (1, 1) made transparent, as the
    // boxes draw key icons.
    QImage TransparentImage(int index) const;
    QIcon Icon(int index) const;

private:
    TTreeImageList();
    std::vector<QImage> Images_;
    std::vector<QImage> Transparent_;
    mutable std::vector<QIcon> Icons_;
};
