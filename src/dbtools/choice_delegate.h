#pragma once
// TChoiceDelegate: edits a grid cell with a drop-down of fixed choices; the
// cell keeps plain text, so typed text and choices are read the same way.
#include <QStyledItemDelegate>
#include <QStringList>

class TChoiceDelegate : public QStyledItemDelegate {
public:
    // Editable lets the user type a text that is not among the choices.
    TChoiceDelegate(QStringList choices, QObject *parent, bool editable = false);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

private:
    QStringList Choices_;
    bool Editable_;
};
