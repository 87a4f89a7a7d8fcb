// DbFields and DbField: the fields of a table's current (or prepared)
// record, read and written through the table's shared view.
#include "host/sqlite/objects.h"

namespace host::sqlite {

namespace {

class FieldsObject : public DbFields, public std::enable_shared_from_this<FieldsObject> {
 public:
  FieldsObject(CorePtr core, std::shared_ptr<DbTable> table, int t)
      : core_(std::move(core)), table_(std::move(table)), t_(t) {}
  std::shared_ptr<DbField> Item(const std::string& name) override;
  bool Exists(const std::string& name) override {
    Check("Fields.Exists");
    return core_->Def(t_).FieldIndex(name) >= 0;
  }
  std::shared_ptr<DbTable> Parent() override;

  Core& core() { return *core_; }
  int table() const { return t_; }
  void Check(const char* member) { core_->faults.Check(core_->Def(t_).name, member); }

 private:
  CorePtr core_;
  std::shared_ptr<DbTable> table_;
  int t_;
};

class FieldObject : public DbField {
 public:
  FieldObject(std::shared_ptr<FieldsObject> fields, int f) : fields_(std::move(fields)), f_(f) {}
  rt::Variant Value() override {
    fields_->Check("Field.Value");
    return fields_->core().views.Read(fields_->table(), f_);
  }
  void SetValue(const rt::Variant& value) override {
    fields_->Check("Field.SetValue");
    fields_->core().views.Put(fields_->table(), f_, value);
  }
  std::string Name() override {
    fields_->Check("Field.Name");
    return Def().name;
  }
  int32_t Size() override {
    fields_->Check("Field.Size");
    return Def().size;
  }
  std::shared_ptr<DbFields> Parent() override {
    fields_->Check("Field.Parent");
    return fields_;
  }

 private:
  const FieldDef& Def() { return fields_->core().Def(fields_->table()).fields[f_]; }
  std::shared_ptr<FieldsObject> fields_;
  int f_;
};

std::shared_ptr<DbField> FieldsObject::Item(const std::string& name) {
  Check("Fields.Item");
  return std::make_shared<FieldObject>(shared_from_this(), core_->FieldIndex(t_, name));
}

std::shared_ptr<DbTable> FieldsObject::Parent() {
  Check("Fields.Parent");
  return table_;
}

}  // namespace

std::shared_ptr<DbFields> NewFields(CorePtr core, std::shared_ptr<DbTable> table, int t) {
  return std::make_shared<FieldsObject>(std::move(core), std::move(table), t);
}

}  // namespace host::sqlite
