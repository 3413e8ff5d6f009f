// Type texts to base type, length, precision and scale, and back.
#include "model/data_type_helpers.h"
#include "model/diagram_column.h"
#include "test_data.h"

#include <gtest/gtest.h>

namespace {

TEST(DataTypes, ParsingFormattingAndRefusedParameters)
{
    for (const QStringList &c : readTestTable("model/data_types.txt")) {
        SCOPED_TRACE(c.join(" | ").toStdString());
        if (c[0] == "parse") {
            EXPECT_EQ(TDataTypeHelpers::GetBaseType(c[1]), c[2]);
            EXPECT_EQ(TDataTypeHelpers::GetParameters(c[1]), c[3]);
            EXPECT_EQ(TDataTypeHelpers::GetLength(c[1]), c[4].toInt());
            EXPECT_EQ(TDataTypeHelpers::GetPrecision(c[1]), c[5].toInt());
            EXPECT_EQ(TDataTypeHelpers::GetScale(c[1]), c[6].toInt());
        } else if (c[0] == "format") {
            EXPECT_EQ(TDiagramColumn::FormatDataType(c[1], c[2].toInt(), c[3].toInt(), c[4].toInt()), c[5]);
        } else {
            try {
                TDataTypeHelpers::GetLength(c[1]);
                TDataTypeHelpers::GetPrecision(c[1]);
                TDataTypeHelpers::GetScale(c[1]);
                ADD_FAILURE() << "no error";
            } catch (const EConvertError &e) {
                EXPECT_EQ(e.what(), c[2].toStdString());
            }
        }
    }
}

TEST(DataTypes, KnownNamesAreExact)
{
    const QStringList valid{"BLOB", "BOOLEAN", "CLOB",   "CHAR", "DATE",    "INTEGER",  "LONG",     "LONG RAW",
                            "NCHAR", "NUMBER", "NVARCHAR2", "RAW", "VARCHAR", "VARCHAR2"};
    const QStringList length{"BLOB", "CLOB", "CHAR", "NCHAR", "NUMBER", "NVARCHAR2", "RAW", "VARCHAR", "VARCHAR2"};
    for (const QString &name : valid + QStringList{"number", "varchar2", "nvarchar2", "XMLTYPE", "NUMBER "}) {
        EXPECT_EQ(TDataTypeHelpers::IsValidType(name), valid.contains(name)) << name.toStdString();
        EXPECT_EQ(TDataTypeHelpers::HasLength(name), length.contains(name)) << name.toStdString();
        EXPECT_EQ(TDataTypeHelpers::HasPrecision(name), name == "NUMBER") << name.toStdString();
    }
}

} // namespace
