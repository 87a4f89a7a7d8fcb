#include "host/sqlite/document.h"

#include "host/sqlite/stand_in.h"

namespace host::sqlite {

std::shared_ptr<HostDocument> NewDocument(const std::string& content) {
  return std::make_shared<StoredDocument>(content);
}

std::string DocumentContent(const rt::Variant& value) {
  if (!value.IsObject() || value.IsNothing()) return {};
  auto doc = std::dynamic_pointer_cast<StoredDocument>(value.AsObject());
  return doc ? doc->content() : std::string();
}

}  // namespace host::sqlite
