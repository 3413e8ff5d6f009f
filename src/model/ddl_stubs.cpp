// Placeholders until the DDL and delta generators are written.
#include "model/diagram_index.h"
#include "model/diagram_key.h"
#include "model/diagram_object_model.h"
#include "model/diagram_table.h"

QString TDiagramTable::GetDDL(bool) const { return {}; }
QString TDiagramObjectTable::GetDDL(bool) const { return {}; }
QString TDiagramPrimaryKey::GetDDL(const QString &, const QString &) const { return {}; }
QString TDiagramUniqueKey::GetDDL(const QString &, const QString &) const { return {}; }
QString TDiagramForeignKey::GetDDL(const QString &, const QString &) const { return {}; }
QString TDiagramCheckConstraint::GetDDL(const QString &, const QString &) const { return {}; }
QString TDiagramIndex::GetDDL(const QString &, const QString &) const { return {}; }
void TDiagramObjectModel::WriteDdlHeader(QStringList &) const {}
QStringList TDiagramObjectModel::BuildModelDdl() const { return {}; }
QStringList TDiagramObjectModel::BuildSelectionDdl() const { return {}; }
QString TDiagramObjectModel::BuildDeltaDdl(const TDiagramObjectModel &) const { return {}; }
QString TDiagramObjectModel::BuildDatabaseDeltaDdl() const { return {}; }
QString TDiagramTable::BuildAlterDdl(const TDiagramTable &) const { return {}; }
QString TDiagramTable::BuildDatabaseDeltaDdl() const { return {}; }
void TDiagramTable::SetReloadFromDatabase(bool value) { m_reloadFromDatabase = value; }
