// One view of the five kinds of settings store CConfig reads and writes: the
// host's HostSettings (user private, user public, database, table) and its
// persistent variables. Internal to CConfig.
#pragma once

#include <memory>
#include <string>

#include "host/application.h"
#include "platform/variant.h"

namespace config_store {

class Store {
 public:
  virtual ~Store() = default;
  virtual bool Exists(const std::string& key) = 0;
  // The stored value of an existing key.
  virtual rt::Variant Value(const std::string& key) = 0;
  // Puts a new value on an existing key. A locked persistent variable is
  // left as it is, without an error.
  virtual void Change(const std::string& key, const rt::Variant& value) = 0;
  // Adds a key that is not there yet.
  virtual void Add(const std::string& key, const rt::Variant& value) = 0;
};

// Both raise 91 for a null store.
std::unique_ptr<Store> OfSettings(std::shared_ptr<host::HostSettings> settings);
std::unique_ptr<Store> OfPersistVars(std::shared_ptr<host::HostPersistVars> vars);

}  // namespace config_store
