// Late binding: objects whose properties are read and written by name, the
// keyless 1-based collection, and the process-wide class registry through
// which objects are created by their class name (a "ProgID").
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"
#include "platform/name_lookup.h"
#include "platform/variant.h"

namespace rt {

// Base of every late-bound object. Property names match without regard to
// letter case; an unknown name raises 438.
class Object : public std::enable_shared_from_this<Object> {
 public:
  virtual ~Object() = default;
  virtual Variant Get(std::string_view name) const;
  virtual void Put(std::string_view name, const Variant& value);
};

// A table of named properties for a record class T: each entry reads and
// writes one member through a getter and a setter. Records derive from
// Object and forward Get/Put to their table.
template <class T>
class PropertyTable {
 public:
  struct Entry {
    std::string name;
    std::function<Variant(const T&)> get;
    std::function<void(T&, const Variant&)> put;  // converts to the member's type
  };
  // Of two names that differ only in letter case, the first counts.
  explicit PropertyTable(std::vector<Entry> entries) : entries_(std::move(entries)) {
    for (size_t i = 0; i < entries_.size(); ++i) names_.Add(entries_[i].name, static_cast<int>(i));
  }

  Variant Get(const T& obj, std::string_view name) const { return Find(name).get(obj); }
  void Put(T& obj, std::string_view name, const Variant& v) const { Find(name).put(obj, v); }
  const std::vector<Entry>& entries() const { return entries_; }

 private:
  const Entry& Find(std::string_view name) const {
    const int i = names_.Find(name);
    if (i < 0) RaiseRuntime(errc::NoSuchMember);
    return entries_[static_cast<size_t>(i)];
  }
  std::vector<Entry> entries_;
  NameLookup names_;
};

bool NameEquals(std::string_view a, std::string_view b);  // case-insensitive

// A keyless collection with items reached by position from 1.
class Collection : public Object {
 public:
  void Add(Variant item);
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  const Variant& Item(int32_t index) const;  // 1..Count, else 9
  void Remove(int32_t index);                // 1..Count, else 9

  Variant Get(std::string_view name) const override;  // "Count"

 private:
  std::vector<Variant> items_;
};

// The object held by a variant, as T. Nothing raises 91; Empty or an
// object of another class raises 13 (type mismatch).
template <class T>
std::shared_ptr<T> CastObject(const Variant& v) {
  if (v.IsNothing()) RaiseRuntime(errc::ObjectNotSet);
  if (!v.IsObject()) RaiseRuntime(errc::TypeMismatch);
  auto p = std::dynamic_pointer_cast<T>(v.AsObject());
  if (!p) RaiseRuntime(errc::TypeMismatch);
  return p;
}

// The object itself; a null pointer ("Nothing") raises 91, as using an
// object variable that is not set does. A held pointer is handed back as it
// is, without a copy; a temporary one is moved out.
template <class T>
const std::shared_ptr<T>& Need(const std::shared_ptr<T>& p) {
  if (!p) RaiseRuntime(errc::ObjectNotSet);
  return p;
}
template <class T>
std::shared_ptr<T> Need(std::shared_ptr<T>&& p) {
  if (!p) RaiseRuntime(errc::ObjectNotSet);
  return std::move(p);
}

// Reads a property by name from an object held by a variant (91 for
// Nothing, 13 for a non-object, 438 for an unknown name).
Variant GetProperty(const Variant& object, std::string_view name);

// --- Class registry ----------------------------------------------------------
// One per process. Libraries register the classes they make creatable;
// CreateObject builds one by its class name (case-insensitive) and raises
// 429 when no such class is registered or the factory fails.

using ClassFactory = std::function<ObjectPtr()>;
void RegisterClass(std::string_view progId, ClassFactory factory);
void UnregisterClass(std::string_view progId);
ObjectPtr CreateObject(std::string_view progId);

}  // namespace rt
