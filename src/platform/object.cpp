#include "platform/object.h"

#include <map>
#include <mutex>

#include "platform/text.h"

namespace rt {

Variant Object::Get(std::string_view) const { RaiseRuntime(errc::NoSuchMember); }

void Object::Put(std::string_view, const Variant&) { RaiseRuntime(errc::NoSuchMember); }

bool NameEquals(std::string_view a, std::string_view b) { return EqualsIgnoreCase(a, b); }

// --- Collection ----------------------------------------------------------------

void Collection::Add(Variant item) { items_.push_back(std::move(item)); }

const Variant& Collection::Item(int32_t index) const {
  if (index < 1 || index > Count()) RaiseRuntime(errc::SubscriptRange);
  return items_[static_cast<size_t>(index) - 1];
}

void Collection::Remove(int32_t index) {
  if (index < 1 || index > Count()) RaiseRuntime(errc::SubscriptRange);
  items_.erase(items_.begin() + (index - 1));
}

Variant Collection::Get(std::string_view name) const {
  if (NameEquals(name, "Count")) return Count();
  return Object::Get(name);
}

Variant GetProperty(const Variant& object, std::string_view name) {
  if (object.IsNothing()) RaiseRuntime(errc::ObjectNotSet);
  if (!object.IsObject()) RaiseRuntime(errc::TypeMismatch);
  return object.AsObject()->Get(name);
}

// --- Class registry ------------------------------------------------------------

namespace {

struct Registry {
  std::mutex mu;
  std::map<std::string, ClassFactory> classes;  // key: the upper-case name
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

void RegisterClass(std::string_view progId, ClassFactory factory) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mu);
  r.classes[UCase(progId)] = std::move(factory);
}

void UnregisterClass(std::string_view progId) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mu);
  r.classes.erase(UCase(progId));
}

ObjectPtr CreateObject(std::string_view progId) {
  ClassFactory factory;
  {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mu);
    auto it = r.classes.find(UCase(progId));
    if (it != r.classes.end()) factory = it->second;
  }
  // The factory runs outside the lock: it may create other objects itself.
  ObjectPtr object;
  if (factory) {
    try {
      object = factory();
    } catch (...) {
      object = nullptr;
    }
  }
  if (!object) RaiseRuntime(errc::CannotCreateObject);
  return object;
}

}  // namespace rt
