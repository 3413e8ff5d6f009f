// Type texts to base type, length, precision and scale, and back.
#include "model/data_type_helpers.h"
#include "model/diagram_column.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(DataTypes, ParsingSplitsTheText)
{
    struct Case {
        const char *text, *base, *parameters;
        int length, precision, scale;
    };
    const Case cases[] = {
        {"NUMBER(10,2)", "NUMBER", "10,2", 0, 10, 2},
        {"NUMBER(10)", "NUMBER", "10", 0, 10, 0},
        {"NUMBER", "NUMBER", "", 0, 0, 0},
        {"VARCHAR2(30)", "VARCHAR2", "30", 30, 0, 0},
        {"VARCHAR2(30", "VARCHAR2", "3", 3, 0, 0}, // the last character always goes
        {"RAW(16)", "RAW", "16", 16, 0, 0},
        {"RAW(-$80000000)", "RAW", "-$80000000", INT_MIN, 0, 0}, // no overflow in the negation
        {"CHAR()", "CHAR", "", 0, 0, 0},
        {"DATE(3)", "DATE", "", 0, 0, 0},
        {"number(5)", "number", "", 0, 0, 0},
        {"VARCHAR2 (30)", "VARCHAR2 ", "", 0, 0, 0},
        {"", "", "", 0, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(TDataTypeHelpers::GetBaseType(text), QString::fromLatin1(c.base));
        EXPECT_EQ(TDataTypeHelpers::GetParameters(text), QString::fromLatin1(c.parameters));
        EXPECT_EQ(TDataTypeHelpers::GetLength(text), c.length);
        EXPECT_EQ(TDataTypeHelpers::GetPrecision(text), c.precision);
        EXPECT_EQ(TDataTypeHelpers::GetScale(text), c.scale);
    }
}

TEST(DataTypes, ParametersThatDoNotConvertRaiseTheConversionMessage)
{
    const std::pair<const char *, const char *> cases[] = {
        {"VARCHAR2(30 BYTE)", "'30 BYTE' is not a valid integer value"},
        {"NUMBER(,2)", "'' is not a valid integer value"},
        {"NUMBER(10,)", "'' is not a valid integer value"},
        {"NUMBER(x)", "'x' is not a valid integer value"},
    };
    for (const auto &[text, message] : cases) {
        try {
            TDataTypeHelpers::GetLength(text);
            TDataTypeHelpers::GetPrecision(text);
            TDataTypeHelpers::GetScale(text);
            ADD_FAILURE() << "no error for " << text;
        } catch (const EConvertError &e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
}

TEST(DataTypes, KnownNamesAreExact)
{
    const QStringList valid{"BLOB", "BOOLEAN", "CLOB",   "CHAR", "DATE",    "INTEGER",
                            "LONG", "LONG RAW", "NUMBER", "RAW", "VARCHAR", "VARCHAR2"};
    const QStringList length{"BLOB", "CLOB", "CHAR", "NUMBER", "RAW", "VARCHAR", "VARCHAR2"};
    for (const QString &name : valid + QStringList{"number", "varchar2", "XMLTYPE", "NUMBER "}) {
        EXPECT_EQ(TDataTypeHelpers::IsValidType(name), valid.contains(name)) << name.toStdString();
        EXPECT_EQ(TDataTypeHelpers::HasLength(name), length.contains(name)) << name.toStdString();
        EXPECT_EQ(TDataTypeHelpers::HasPrecision(name), name == "NUMBER") << name.toStdString();
    }
}

TEST(DataTypes, FormattingBuildsTheText)
{
    struct Case {
        const char *type;
        int precision, length, scale;
        const char *text;
    };
    const Case cases[] = {
        {"NUMBER", 10, 0, 2, "NUMBER(10,2)"},   {"NUMBER", 10, 0, 0, "NUMBER(10)"},
        {"NUMBER", 0, 0, 2, "NUMBER(0,2)"},     {"NUMBER", 0, 22, 0, "NUMBER"},
        {"NUMBER", -1, 0, 0, "NUMBER"},         {"CHAR", 0, 0, 0, "CHAR"},
        {"CHAR", 0, 1, 0, "CHAR(1)"},           {"BLOB", 0, 4000, 0, "BLOB(4000)"},
        {"CLOB", 0, 0, 0, "CLOB"},              {"RAW", 0, 16, 0, "RAW(16)"},
        {"VARCHAR2", 0, 0, 0, "VARCHAR2(0)"},   {"VARCHAR", 0, 20, 0, "VARCHAR(20)"},
        {"VARCHAR2", 0, -5, 0, "VARCHAR2(-5)"}, {"DATE", 5, 7, 1, "DATE"},
        {"LONG RAW", 0, 10, 0, "LONG RAW"},     {"number", 10, 0, 0, "number"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TDiagramColumn::FormatDataType(c.type, c.precision, c.length, c.scale), QString::fromLatin1(c.text));
}

} // namespace
