// Type texts to base type, length, precision and scale, and back.
#include "model/data_type_helpers.h"
#include "model/diagram_column.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase {
    const char *text;
    const char *base;
    const char *parameters;
    int length, precision, scale;
    bool valid;
};

class DataTypeParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(DataTypeParse, SplitsTheText)
{
    const ParseCase &c = GetParam();
    const QString text = QString::fromLatin1(c.text);
    EXPECT_EQ(TDataTypeHelpers::GetBaseType(text), QString::fromLatin1(c.base));
    EXPECT_EQ(TDataTypeHelpers::GetParameters(text), QString::fromLatin1(c.parameters));
    EXPECT_EQ(TDataTypeHelpers::GetLength(text), c.length);
    EXPECT_EQ(TDataTypeHelpers::GetPrecision(text), c.precision);
    EXPECT_EQ(TDataTypeHelpers::GetScale(text), c.scale);
    EXPECT_EQ(TDataTypeHelpers::IsValidType(TDataTypeHelpers::GetBaseType(text)), c.valid);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DataTypeParse,
    ::testing::Values(ParseCase{"NUMBER(10,2)", "NUMBER", "10,2", 0, 10, 2, true},
                      ParseCase{"NUMBER(10)", "NUMBER", "10", 0, 10, 0, true},
                      ParseCase{"NUMBER", "NUMBER", "", 0, 0, 0, true},
                      ParseCase{"VARCHAR2(30)", "VARCHAR2", "30", 30, 0, 0, true},
                      ParseCase{"VARCHAR2(30", "VARCHAR2", "3", 3, 0, 0, true},
                      ParseCase{"DATE", "DATE", "", 0, 0, 0, true},
                      ParseCase{"DATE(3)", "DATE", "", 0, 0, 0, true},
                      ParseCase{"number(5)", "number", "", 0, 0, 0, false},
                      ParseCase{"", "", "", 0, 0, 0, false},
                      ParseCase{"LONG RAW", "LONG RAW", "", 0, 0, 0, true},
                      ParseCase{"VARCHAR2 (30)", "VARCHAR2 ", "", 0, 0, 0, false},
                      ParseCase{"RAW(16)", "RAW", "16", 16, 0, 0, true},
                      ParseCase{"CHAR()", "CHAR", "", 0, 0, 0, true},
                      ParseCase{"XMLTYPE", "XMLTYPE", "", 0, 0, 0, false}));

struct BadCase {
    const char *text;
    const char *message;
};

class DataTypeParseError : public ::testing::TestWithParam<BadCase> {};

TEST_P(DataTypeParseError, RaisesTheConversionMessage)
{
    const QString text = QString::fromLatin1(GetParam().text);
    try {
        TDataTypeHelpers::GetLength(text);
        TDataTypeHelpers::GetPrecision(text);
        TDataTypeHelpers::GetScale(text);
        FAIL() << "no error for " << GetParam().text;
    } catch (const EConvertError &e) {
        EXPECT_STREQ(e.what(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, DataTypeParseError,
                         ::testing::Values(BadCase{"VARCHAR2(30 BYTE)", "'30 BYTE' is not a valid integer value"},
                                           BadCase{"NUMBER(,2)", "'' is not a valid integer value"},
                                           BadCase{"NUMBER(10,)", "'' is not a valid integer value"},
                                           BadCase{"NUMBER(x)", "'x' is not a valid integer value"}));

TEST(DataTypeTables, KnownNamesAreExact)
{
    const QStringList valid{"BLOB", "BOOLEAN", "CLOB",   "CHAR", "DATE",    "INTEGER",
                            "LONG", "LONG RAW", "NUMBER", "RAW", "VARCHAR", "VARCHAR2"};
    const QStringList length{"BLOB", "CLOB", "CHAR", "NUMBER", "RAW", "VARCHAR", "VARCHAR2"};
    for (const QString &name : valid + QStringList{"varchar2", "XMLTYPE", "NUMBER "}) {
        EXPECT_EQ(TDataTypeHelpers::IsValidType(name), valid.contains(name)) << name.toStdString();
        EXPECT_EQ(TDataTypeHelpers::HasLength(name), length.contains(name)) << name.toStdString();
        EXPECT_EQ(TDataTypeHelpers::HasPrecision(name), name == "NUMBER") << name.toStdString();
    }
}

struct FormatCase {
    const char *type;
    int precision, length, scale;
    const char *text;
};

class DataTypeFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(DataTypeFormat, BuildsTheText)
{
    const FormatCase &c = GetParam();
    EXPECT_EQ(TDiagramColumn::FormatDataType(c.type, c.precision, c.length, c.scale), QString::fromLatin1(c.text));
}

INSTANTIATE_TEST_SUITE_P(Fields, DataTypeFormat,
                         ::testing::Values(FormatCase{"NUMBER", 10, 0, 2, "NUMBER(10,2)"},
                                           FormatCase{"NUMBER", 10, 0, 0, "NUMBER(10)"},
                                           FormatCase{"NUMBER", 0, 0, 2, "NUMBER(0,2)"},
                                           FormatCase{"NUMBER", 0, 22, 0, "NUMBER"},
                                           FormatCase{"CHAR", 0, 0, 0, "CHAR"},
                                           FormatCase{"CHAR", 0, 1, 0, "CHAR(1)"},
                                           FormatCase{"BLOB", 0, 4000, 0, "BLOB(4000)"},
                                           FormatCase{"RAW", 0, 16, 0, "RAW(16)"},
                                           FormatCase{"VARCHAR2", 0, 0, 0, "VARCHAR2(0)"},
                                           FormatCase{"VARCHAR", 0, 20, 0, "VARCHAR(20)"},
                                           FormatCase{"DATE", 5, 7, 1, "DATE"},
                                           FormatCase{"LONG RAW", 0, 10, 0, "LONG RAW"},
                                           FormatCase{"number", 10, 0, 0, "number"},
                                           FormatCase{"NUMBER", -1, 0, 0, "NUMBER"},
                                           FormatCase{"VARCHAR2", 0, -5, 0, "VARCHAR2(-5)"}));

} // namespace
