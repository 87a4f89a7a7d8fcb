// HostUsers and HostUser: the host's users in their stored order, and the
// session's current user.
#include "host/sqlite/errors.h"
#include "host/sqlite/objects.h"

namespace host::sqlite {

namespace {

class UserObject : public HostUser {
 public:
  UserObject(CorePtr core, std::string name) : core_(std::move(core)), name_(std::move(name)) {}
  std::string Name() override {
    core_->faults.Check("User", "Name");
    return name_;
  }
  std::shared_ptr<HostSettings> PrivateSettings() override {
    core_->faults.Check("User", "PrivateSettings");
    return NewSettings(core_, PrivateSettingsOf(name_));
  }
  std::shared_ptr<HostSettings> PublicSettings() override {
    core_->faults.Check("User", "PublicSettings");
    return NewSettings(core_, PublicSettingsOf(name_));
  }

 private:
  CorePtr core_;
  std::string name_;
};

class UsersObject : public HostUsers {
 public:
  explicit UsersObject(CorePtr core) : core_(std::move(core)) {}
  int32_t Count() override {
    core_->faults.Check("Users", "Count");
    return static_cast<int32_t>(core_->own.UserNames().size());
  }
  std::shared_ptr<HostUser> Item(int32_t index) override {
    core_->faults.Check("Users", "Item");
    std::vector<std::string> names = core_->own.UserNames();
    if (index < 0 || static_cast<size_t>(index) >= names.size())
      RaiseHost(hosterr::UnknownUser, std::to_string(index));
    return std::make_shared<UserObject>(core_, names[static_cast<size_t>(index)]);
  }
  std::shared_ptr<HostUser> CurrentUser() override {
    core_->faults.Check("Users", "CurrentUser");
    std::string name = core_->SessionValue(kSessionUser);
    if (name.empty()) RaiseHost(hosterr::UnknownUser);
    return std::make_shared<UserObject>(core_, std::move(name));
  }

 private:
  CorePtr core_;
};

}  // namespace

std::shared_ptr<HostUsers> NewUsers(CorePtr core) { return std::make_shared<UsersObject>(std::move(core)); }

}  // namespace host::sqlite
