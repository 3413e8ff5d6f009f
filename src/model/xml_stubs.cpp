// Placeholders until the diagram and preferences files are written.
#include "model/diagram_column.h"
#include "model/diagram_index.h"
#include "model/diagram_key.h"
#include "model/diagram_note.h"
#include "model/diagram_object_model.h"
#include "model/diagram_table.h"
#include "model/diagram_type.h"
#include "model/preferences.h"
#include "model/schema_style.h"

void TDiagramColumn::WriteXML(QStringList &, int) const {}
void TDiagramPrimaryKey::WriteXML(QStringList &, int) const {}
void TDiagramUniqueKey::WriteXML(QStringList &, int) const {}
void TDiagramForeignKey::WriteXML(QStringList &, int) const {}
void TDiagramCheckConstraint::WriteXML(QStringList &, int) const {}
void TDiagramIndex::WriteXML(QStringList &, int) const {}
void TDiagramTable::WriteXML(QStringList &, int) const {}
void TDiagramObjectTable::WriteXML(QStringList &, int) const {}
void TDiagramType::WriteXML(QStringList &, int) const {}
void TDiagramNote::WriteXML(QStringList &, int) const {}
void TDiagramObjectModel::WriteXML(QStringList &, int) const {}
void TOSSchemaStyle::WriteXML(QStringList &, int) const {}
bool TOSSchemaStyle::SetProperty(const QString &, const QString &) { return false; }
void TToolPreference::WriteXML(QStringList &, int) const {}
void TToolPreferences::WriteXML(QStringList &, int) const {}
void TPreferences::LoadPreferences() {}
void TPreferences::SavePreferences() const {}
void TPreferences::BuildToolsMenu(QMenu *) {}
void TPreferences::RefreshToolsMenu() {}
void TPreferences::ToolMenuItemClick(QAction *) {}
void TPreferences::RunToolByCaption(const QString &) {}
void TPreferences::RunExternalTool(const TToolPreference &) {}
