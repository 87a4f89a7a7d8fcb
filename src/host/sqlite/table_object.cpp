// DbTable: a handle on a table's shared view. It holds no state of its own
// but the table's position; two objects opened on one table name see the
// same current record, index, flags and pending edit.
//
// DbFields and DbField: the fields of the view's current (or prepared)
// record. They live inside their table object, so that reaching a field
// by name allocates nothing; a pointer to them shares the ownership of the
// table object.
#include <vector>

#include "host/sqlite/objects.h"

namespace host::sqlite {

namespace {

class TableObject : public DbTable, public std::enable_shared_from_this<TableObject> {
 public:
  TableObject(CorePtr core, int t) : core_(std::move(core)), t_(t), fields_(*this) {}
  TableObject(const TableObject&) = delete;
  TableObject& operator=(const TableObject&) = delete;

  std::shared_ptr<DbFields> Fields() override {
    Check("Fields");
    return FieldsPtr();
  }
  std::shared_ptr<DbIndexes> Indexes() override {
    Check("Indexes");
    if (!indexes_) indexes_ = NewIndexes(core_, t_);
    return indexes_;
  }
  std::string Name() override {
    Check("Name");
    return core_->Def(t_).name;
  }
  bool Eof() override {
    Check("Eof");
    return views().Eof(t_);
  }

  void MoveFirst(Flags) override {
    Check("MoveFirst");
    views().MoveFirst(t_);
  }
  void Move(int32_t n, Flags) override {
    Check("Move");
    views().Move(t_, n);
  }
  bool Seek(const std::string& key, Flags, bool* found) override {
    Check("Seek");
    return Report(views().Seek(t_, key), found);
  }
  bool FindKey(const std::string& key, Flags, bool* found) override {
    Check("FindKey");
    return Report(views().Seek(t_, key), found);
  }
  bool GotoOid(const std::string& oid, Flags, bool* found) override {
    Check("GotoOid");
    return Report(views().GotoOid(t_, oid), found);
  }
  std::string Oid() override {
    Check("Oid");
    return views().Oid(t_);
  }
  void SelectOid(const std::string& oid) override {
    Check("SelectOid");
    views().SelectOid(t_, oid);
  }

  rt::Variant NewValues(Flags, rt::Variant* values) override {
    Check("NewValues");
    rt::Variant v = views().NewValues(t_);
    if (values) *values = v;
    return v;
  }
  void SetValues(const rt::Variant& values) override {
    Check("SetValues");
    views().SetValues(t_, values);
  }
  void Insert(Flags) override {
    Check("Insert");
    views().Insert(t_);
  }
  void BeginEdit() override {
    Check("BeginEdit");
    views().BeginEdit(t_);
  }
  void Update(Flags) override {
    Check("Update");
    views().Update(t_);
  }
  void Delete(Flags) override {
    Check("Delete");
    views().Delete(t_);
  }

  std::shared_ptr<HostSettings> Settings() override {
    Check("Settings");
    if (!settings_) settings_ = NewSettings(core_, TableSettingsOf(core_->Def(t_).name));
    return settings_;
  }
  int32_t SelectionCount() override {
    Check("SelectionCount");
    return views().SelectionCount(t_);
  }
  void Reset() override { Check("Reset"); }
  std::shared_ptr<DbFields> Record() override {
    Check("Record");
    return FieldsPtr();
  }

  int16_t FlagA() override {
    Check("FlagA");
    return views().FlagA(t_);
  }
  void SetFlagA(int16_t value) override {
    Check("SetFlagA");
    views().FlagA(t_) = value;
  }
  int16_t FlagB() override {
    Check("FlagB");
    return views().FlagB(t_);
  }
  void SetFlagB(int16_t value) override {
    Check("SetFlagB");
    views().FlagB(t_) = value;
  }
  void ModeA(bool on, Flags) override {
    Check("ModeA");
    views().FlagA(t_) = on ? -1 : 0;
  }
  void ModeB(bool on, Flags) override {
    Check("ModeB");
    views().FlagB(t_) = on ? -1 : 0;
  }

 private:
  class FieldObject : public DbField {
   public:
    FieldObject(TableObject& table, int f) : table_(&table), f_(f) {}
    rt::Variant Value() override {
      table_->Check("Field.Value");
      return table_->views().Read(table_->t_, f_);
    }
    void SetValue(const rt::Variant& value) override {
      table_->Check("Field.SetValue");
      table_->views().Put(table_->t_, f_, value);
    }
    std::string Name() override {
      table_->Check("Field.Name");
      return Def().name;
    }
    int32_t Size() override {
      table_->Check("Field.Size");
      return Def().size;
    }
    std::shared_ptr<DbFields> Parent() override {
      table_->Check("Field.Parent");
      return table_->FieldsPtr();
    }

   private:
    const FieldDef& Def() const { return table_->core_->Def(table_->t_).fields[f_]; }
    TableObject* table_;
    int f_;
  };

  class FieldsObject : public DbFields {
   public:
    explicit FieldsObject(TableObject& table) : table_(&table) {}
    std::shared_ptr<DbField> Item(std::string_view name) override {
      return table_->FieldPtr(Find(name));
    }
    // Without a field object: the checks and the work of Item and of the
    // field's SetValue or Value, in their order.
    void PutValue(std::string_view name, const rt::Variant& value) override {
      const int f = Find(name);
      table_->Check("Field.SetValue");
      table_->views().Put(table_->t_, f, value);
    }
    rt::Variant ValueOf(std::string_view name) override {
      const int f = Find(name);
      table_->Check("Field.Value");
      return table_->views().Read(table_->t_, f);
    }
    bool Exists(std::string_view name) override {
      table_->Check("Fields.Exists");
      return table_->core_->Def(table_->t_).FieldIndex(name) >= 0;
    }
    std::shared_ptr<DbTable> Parent() override {
      table_->Check("Fields.Parent");
      return table_->shared_from_this();
    }

   private:
    // What Item does before it hands out the field: the position by name.
    int Find(std::string_view name) {
      table_->Check("Fields.Item");
      return table_->core_->FieldIndex(table_->t_, name);
    }
    TableObject* table_;
  };

  static bool Report(bool result, bool* found) {
    if (found) *found = result;
    return result;
  }
  Views& views() { return core_->views; }
  void Check(const char* member) { core_->faults.Check(core_->Def(t_).name, member); }

  std::shared_ptr<DbFields> FieldsPtr() { return std::shared_ptr<DbFields>(shared_from_this(), &fields_); }
  std::shared_ptr<DbField> FieldPtr(int f) {
    if (fieldObjects_.empty()) {
      const size_t n = core_->Def(t_).fields.size();
      fieldObjects_.reserve(n);
      for (size_t i = 0; i < n; ++i) fieldObjects_.emplace_back(*this, static_cast<int>(i));
    }
    return std::shared_ptr<DbField>(shared_from_this(), &fieldObjects_[static_cast<size_t>(f)]);
  }

  CorePtr core_;
  int t_;
  FieldsObject fields_;
  std::vector<FieldObject> fieldObjects_;  // one per field, made on the first Item
  // Made on first use; they hold no state of their own.
  std::shared_ptr<DbIndexes> indexes_;
  std::shared_ptr<HostSettings> settings_;
};

}  // namespace

std::shared_ptr<DbTable> NewTable(CorePtr core, int table) {
  return std::make_shared<TableObject>(std::move(core), table);
}

}  // namespace host::sqlite
