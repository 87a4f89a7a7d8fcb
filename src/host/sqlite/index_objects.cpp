// DbIndexes and DbIndex: selecting a table view's order ("" is the natural
// order) and reading the current record's key in an index.
#include "host/sqlite/errors.h"
#include "host/sqlite/objects.h"

namespace host::sqlite {

namespace {

class IndexObject : public DbIndex {
 public:
  IndexObject(CorePtr core, int t, int index) : core_(std::move(core)), t_(t), index_(index) {}
  std::string Name() override {
    Check("Index.Name");
    return index_ < 0 ? std::string() : core_->Def(t_).indexes[index_].name;
  }
  std::string KeyValue() override {
    Check("Index.KeyValue");
    return core_->views.KeyValue(t_, index_);
  }

 private:
  void Check(const char* member) { core_->faults.Check(core_->Def(t_).name, member); }
  CorePtr core_;
  int t_;
  int index_;
};

class IndexesObject : public DbIndexes {
 public:
  IndexesObject(CorePtr core, int t) : core_(std::move(core)), t_(t) {}
  void Select(const std::string& name, Flags) override {
    Check("Indexes.Select");
    core_->views.SelectIndex(t_, Resolve(name));
  }
  void Select(const std::shared_ptr<DbIndex>& index, Flags) override {
    Check("Indexes.Select");
    core_->views.SelectIndex(t_, index ? Resolve(index->Name()) : -1);
  }
  std::shared_ptr<DbIndex> Current() override {
    Check("Indexes.Current");
    return std::make_shared<IndexObject>(core_, t_, core_->views.CurrentIndex(t_));
  }
  void SetCurrent(const std::shared_ptr<DbIndex>& index) override {
    Check("Indexes.SetCurrent");
    core_->views.SelectIndex(t_, index ? Resolve(index->Name()) : -1);
  }
  void Reset(Flags) override {
    Check("Indexes.Reset");
    core_->views.SelectIndex(t_, -1);
  }

 private:
  // "" is the natural order; an unknown name raises.
  int Resolve(const std::string& name) {
    if (name.empty()) return -1;
    int index = core_->Def(t_).IndexIndex(name);
    if (index < 0) RaiseHost(hosterr::UnknownIndex, core_->Def(t_).name + "." + name);
    return index;
  }
  void Check(const char* member) { core_->faults.Check(core_->Def(t_).name, member); }
  CorePtr core_;
  int t_;
};

}  // namespace

std::shared_ptr<DbIndexes> NewIndexes(CorePtr core, int t) {
  return std::make_shared<IndexesObject>(std::move(core), t);
}

}  // namespace host::sqlite
