#pragma once
// The typed owning lists of the schema model: tables, object tables, types
// and notes of a page; columns, keys, constraints and indexes of a table;
// attributes and methods of a type; and the page's selection.
#include "model/name_owner_index.h"
#include "model/os_base_list.h"

class TDiagramTable;
class TDiagramObjectTable;
class TDiagramType;
class TDiagramNote;
class TDiagramColumn;
class TDiagramPrimaryKey;
class TDiagramUniqueKey;
class TDiagramForeignKey;
class TDiagramCheckConstraint;
class TDiagramIndex;
class TDiagramAttribute;
class TDiagramMethod;

class TOSTableList : public TOSTypedList<TDiagramTable> {
public:
    TDiagramTable *GetTable(int index) const;
    // Through an index: links look their targets up on every paint.
    TDiagramTable *FindTable(const QString &name, const QString &owner) const;
    std::unique_ptr<TBaseModelObject> CopyItem(int index) const override;

private:
    TNameOwnerIndex<TDiagramTable> m_index;
};

class TOSObjectTableList : public TOSTypedList<TDiagramObjectTable> {
public:
    TDiagramObjectTable *GetObjectTable(int index) const;
    TDiagramObjectTable *FindObjectTable(const QString &name, const QString &owner) const;
    std::unique_ptr<TBaseModelObject> CopyItem(int index) const override;

private:
    TNameOwnerIndex<TDiagramObjectTable> m_index;
};

class TTypeList : public TOSTypedList<TDiagramType> {
public:
    TDiagramType *GetType(int index) const;
    TDiagramType *FindType(const QString &name, const QString &owner) const;
    std::unique_ptr<TBaseModelObject> CopyItem(int index) const override;

private:
    TNameOwnerIndex<TDiagramType> m_index;
};

class TOSNoteList : public TOSTypedList<TDiagramNote> {
public:
    TDiagramNote *GetNote(int index) const;
    std::unique_ptr<TBaseModelObject> CopyItem(int index) const override;
};

class TOSColumnList : public TOSTypedList<TDiagramColumn> {
public:
    TDiagramColumn *GetColumn(int index) const;
    TDiagramColumn *FindColumn(const QString &name) const;
    std::unique_ptr<TBaseModelObject> CopyItem(int index) const override;
    // Reorders the columns: 0 creation order, 1 alphabetical, 2 keys first.
    // With a table, the method is also remembered as the table's sort method.
    void SortColumns(int method, TDiagramTable *table);
};

class TOSPrimaryKeyList : public TOSTypedList<TDiagramPrimaryKey> {
public:
    TDiagramPrimaryKey *GetPrimaryKey(int index) const;
    TDiagramPrimaryKey *FindPrimaryKey(const QString &name) const;
    bool ContainsColumn(const QString &columnName) const;
    std::unique_ptr<TBaseModelObject> CopyItem(int index) const override;
};

class TOSUniqueKeyList : public TOSTypedList<TDiagramUniqueKey> {
public:
    TDiagramUniqueKey *GetUniqueKey(int index) const;
    TDiagramUniqueKey *FindUniqueKey(const QString &name) const;
    bool ContainsColumn(const QString &columnName) const;
    std::unique_ptr<TBaseModelObject> CopyItem(int index) const override;
};

class TOSForeignKeyList : public TOSTypedList<TDiagramForeignKey> {
public:
    TDiagramForeignKey *GetForeignKey(int index) const;
    TDiagramForeignKey *FindForeignKey(const QString &name) const;
    bool ContainsColumn(const QString &columnName) const;
    std::unique_ptr<TBaseModelObject> CopyItem(int index) const override;
};

class TOSCheckConstraintList : public TOSTypedList<TDiagramCheckConstraint> {
public:
    TDiagramCheckConstraint *GetCheckConstraint(int index) const;
    TDiagramCheckConstraint *FindCheckConstraint(const QString &name) const;
    std::unique_ptr<TBaseModelObject> CopyItem(int index) const override;
};

class TOSIndexList : public TOSTypedList<TDiagramIndex> {
public:
    TDiagramIndex *GetIndex(int index) const;
    TDiagramIndex *FindIndex(const QString &name) const;
    std::unique_ptr<TBaseModelObject> CopyItem(int index) const override;
};

class TAttributeList : public TOSTypedList<TDiagramAttribute> {
public:
    TDiagramAttribute *GetAttribute(int index) const;
    std::unique_ptr<TBaseModelObject> CopyItem(int index) const override;
};

class TMethodList : public TOSTypedList<TDiagramMethod> {
public:
    TDiagramMethod *GetMethod(int index) const;
    std::unique_ptr<TBaseModelObject> CopyItem(int index) const override;
};

// The selected tables, object tables, types and notes of the current page.
// It never owns them, and copying it copies nothing of substance.
class TOSSelectedGraphics : public TOSBaseList {
public:
    TOSSelectedGraphics() : TOSBaseList(false) {}
};
