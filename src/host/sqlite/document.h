// The stand-in's document value: what a document field holds. It carries an
// opaque content text, stored in the field's column, and is copied from
// record to record as it is.
#pragma once

#include <memory>
#include <string>

#include "host/application.h"

namespace host::sqlite {

class StoredDocument : public HostDocument {
 public:
  explicit StoredDocument(std::string content) : content_(std::move(content)) {}
  const std::string& content() const { return content_; }

 private:
  std::string content_;
};

}  // namespace host::sqlite
