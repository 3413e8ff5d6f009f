#include "dbtools/choice_delegate.h"

#include <QComboBox>

TChoiceDelegate::TChoiceDelegate(QStringList choices, QObject *parent, bool editable)
    : QStyledItemDelegate(parent), Choices_(std::move(choices)), Editable_(editable)
{
}

QWidget *TChoiceDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *combo = new QComboBox(parent);
    combo->addItems(Choices_);
    combo->setEditable(Editable_);
    return combo;
}

void TChoiceDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *combo = static_cast<QComboBox *>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    const int found = combo->findText(text);
    if (found >= 0)
        combo->setCurrentIndex(found);
    else if (Editable_)
        combo->setEditText(text);
}

void TChoiceDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    model->setData(index, static_cast<QComboBox *>(editor)->currentText(), Qt::EditRole);
}
