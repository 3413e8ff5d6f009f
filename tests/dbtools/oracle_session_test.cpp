// The Oracle session on the sample database: every operation read through the
// same dictionary SQL an Oracle server runs.
#include "dbtools/console_helper.h"
#include "model/diagram_table.h"
#include "model/diagram_type.h"
#include "model/result_set.h"
#include "sample_database.h"

#include <gtest/gtest.h>

namespace {

QStringList Column(const TOSResultSet &rows, const QString &name)
{
    QStringList values;
    for (int i = 0; i < rows.RowCount(); ++i)
        values << rows.GetRow(i)->GetValueByName(name).toString();
    return values;
}

} // namespace

TEST(OracleSession, OwnersAreTheDictionaryUsersInNameOrder)
{
    auto session = OpenSampleSession();
    EXPECT_EQ(Column(*session->GetOwners(), "OWNER"), QStringList({"CO", "HR", "SH", "SHOP", "SYS", "SYSTEM"}));
}

TEST(OracleSession, HrEmployeesComesWithItsParts)
{
    auto session = OpenSampleSession();
    auto table = session->GetTable("HR", "EMPLOYEES");
    EXPECT_FALSE(table->IsVirtual);
    EXPECT_EQ(table->Columns.Count(), 11);
    EXPECT_EQ(table->ForeignKeys.Count(), 3);
    EXPECT_EQ(table->PrimaryKeys.Count(), 1);
}
