// DbTable: a handle on a table's shared view. It holds no state of its own
// but the table's position; two objects opened on one table name see the
// same current record, index, flags and pending edit.
#include "host/sqlite/objects.h"

namespace host::sqlite {

namespace {

class TableObject : public DbTable, public std::enable_shared_from_this<TableObject> {
 public:
  TableObject(CorePtr core, int t) : core_(std::move(core)), t_(t) {}

  std::shared_ptr<DbFields> Fields() override {
    Check("Fields");
    return NewFields(core_, shared_from_this(), t_);
  }
  std::shared_ptr<DbIndexes> Indexes() override {
    Check("Indexes");
    return NewIndexes(core_, t_);
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
    return NewSettings(core_, TableSettingsOf(core_->Def(t_).name));
  }
  int32_t SelectionCount() override {
    Check("SelectionCount");
    return views().SelectionCount(t_);
  }
  void Reset() override { Check("Reset"); }
  std::shared_ptr<DbFields> Record() override {
    Check("Record");
    return NewFields(core_, shared_from_this(), t_);
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
  static bool Report(bool result, bool* found) {
    if (found) *found = result;
    return result;
  }
  Views& views() { return core_->views; }
  void Check(const char* member) { core_->faults.Check(core_->Def(t_).name, member); }

  CorePtr core_;
  int t_;
};

}  // namespace

std::shared_ptr<DbTable> NewTable(CorePtr core, int table) {
  return std::make_shared<TableObject>(std::move(core), table);
}

}  // namespace host::sqlite
