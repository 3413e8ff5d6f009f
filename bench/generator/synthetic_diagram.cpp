#include "synthetic_diagram.h"

#include <random>

namespace {

QString TableName(int i) { return QStringLiteral("TABLE_%1").arg(i, 5, 10, QLatin1Char('0')); }

} // namespace

std::unique_ptr<TDiagramObjectModel> MakeSyntheticDiagram(const TSyntheticOptions &options)
{
    std::mt19937 random(options.Seed);
    auto model = std::make_unique<TDiagramObjectModel>();
    model->Name = QStringLiteral("Synthetic %1").arg(options.Tables);
    model->Style.SetDefaultStyle();
    model->Owners << options.Owner;
    static const char *const types[] = {"NUMBER", "VARCHAR2", "DATE", "CHAR", "CLOB"};
    const int perRow = 40;
    for (int t = 0; t < options.Tables; ++t) {
        auto table = std::make_unique<TDiagramTable>();
        table->Owner = options.Owner;
        table->Name = TableName(t);
        table->Comment = QStringLiteral("Synthetic table %1 for measurements").arg(t);
        table->Left = 20 + (t % perRow) * 260;
        table->Top = 20 + (t / perRow) * 240;
        table->Width = 220;
        table->Height = 30 + options.ColumnsPerTable * 14;
        for (int c = 0; c < options.ColumnsPerTable; ++c) {
            auto column = std::make_unique<TDiagramColumn>();
            column->Name = c == 0 ? QStringLiteral("ID") : QStringLiteral("COLUMN_%1").arg(c);
            const char *type = c == 0 ? "NUMBER" : types[random() % 5];
            column->DataType = QString::fromLatin1(type);
            if (column->DataType == QLatin1String("NUMBER"))
                column->DataPrecision = 10;
            else if (column->DataType == QLatin1String("VARCHAR2") || column->DataType == QLatin1String("CHAR"))
                column->DataLength = 1 + static_cast<int>(random() % 200);
            column->IsNullable = c > 1;
            column->Sequence = c + 1;
            column->Comment = c % 3 == 0 ? QStringLiteral("Column %1 of %2").arg(c).arg(table->Name) : QString();
            table->Columns.Add(column.release());
        }
        auto pk = std::make_unique<TDiagramPrimaryKey>();
        pk->Name = table->Name + QStringLiteral("_PK");
        pk->Columns << QStringLiteral("ID");
        table->PrimaryKeys.Add(pk.release());
        for (int f = 0; f < options.ForeignKeysPerTable && t > 0; ++f) {
            const int target = static_cast<int>(random() % static_cast<unsigned>(t));
            auto fk = std::make_unique<TDiagramForeignKey>();
            fk->Name = QStringLiteral("%1_FK%2").arg(table->Name).arg(f + 1);
            fk->Columns << QStringLiteral("COLUMN_%1").arg(1 + f % std::max(1, options.ColumnsPerTable - 1));
            fk->RefTableOwner = options.Owner;
            fk->RefTableName = TableName(target);
            fk->RefColumns << QStringLiteral("ID");
            fk->OnDelete = f == 0 ? QStringLiteral("NO ACTION") : QStringLiteral("CASCADE");
            fk->Table = table.get();
            table->ForeignKeys.Add(fk.release());
        }
        for (int i = 0; i < options.IndexesPerTable; ++i) {
            auto index = std::make_unique<TDiagramIndex>();
            index->Name = QStringLiteral("%1_IX%2").arg(table->Name).arg(i + 1);
            index->Owner = options.Owner;
            index->Columns << QStringLiteral("COLUMN_%1").arg(1 + i % std::max(1, options.ColumnsPerTable - 1));
            index->IndexType = QStringLiteral("NORMAL");
            index->TableName = table->Name;
            index->TableOwner = options.Owner;
            table->Indexes.Add(index.release());
        }
        auto check = std::make_unique<TDiagramCheckConstraint>();
        check->Name = table->Name + QStringLiteral("_CK");
        check->CheckText = QStringLiteral("ID > 0");
        table->CheckConstraints.Add(check.release());
        model->Tables.Add(table.release());
    }
    for (int n = 0; n < options.Notes; ++n) {
        auto note = std::make_unique<TDiagramNote>();
        note->Name = QStringLiteral("Note %1").arg(n + 1);
        note->Text = QStringLiteral("A note about part %1 of the schema.").arg(n + 1);
        note->Left = 20 + n * 220;
        note->Top = 10;
        note->Width = 200;
        note->Height = 100;
        model->Notes.Add(note.release());
    }
    return model;
}
