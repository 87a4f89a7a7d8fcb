// The two input files of `kelhost debitor`.
//
// Contract file: one "Name = Value" per line, split at the first "=", blanks
// around name and value dropped; empty lines and lines starting with "#"
// are skipped. Names are the sixteen properties of the contract data,
// matched without regard to letter case; each at most once. A name left
// out is simply absent from the contract object.
//
// Articles file: the first non-empty line is a header of article property
// names (any subset, any order, any letter case, each at most once); every
// later non-empty line is one article line with exactly as many fields.
// Fields are split at every ";" with no quoting and taken as they stand; an
// empty field keeps the new article's own value.
//
// Both files are UTF-8 text without NUL bytes; a byte-order mark is skipped
// and a CR at the end of a line dropped. Values follow the syntax of
// input_values.h. A file must be a regular file of at most kMaxInputBytes;
// anything else is refused before it is read.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kelhost/input_values.h"
#include "platform/object.h"

namespace kelhost {

inline constexpr int64_t kMaxInputBytes = int64_t{64} << 20;

// A file that cannot be read or does not follow its format. `line` is the
// 1-based line number, 0 for the file as a whole.
class InputError : public std::runtime_error {
 public:
  InputError(const std::string& file, int line, const std::string& problem);
};

// The caller's contract object: the values read from the contract file,
// reached by property name (without regard to letter case). Reading a
// property that the file left out raises 438, as any late-bound object
// does for a name it lacks.
class ContractData : public rt::Object {
 public:
  rt::Variant Get(std::string_view name) const override;
  void Put(std::string_view name, const rt::Variant& value) override;
  bool Has(std::string_view name) const;
  // True once a property the file does not give was read.
  bool MissedAny() const { return missed_; }

 private:
  std::vector<std::pair<std::string, rt::Variant>> values_;
  mutable bool missed_ = false;
};

// A property of the contract data or of an article line, with its type.
struct InputProperty {
  const char* name;
  ValueType type;
};
const std::vector<InputProperty>& ContractProperties();  // the sixteen, in order
const std::vector<InputProperty>& ArticleProperties();   // the ten, in order

// The lines of a text file with the checks and bounds of the input files
// (a regular file of at most kMaxInputBytes, UTF-8 without NUL bytes; a
// byte-order mark skipped, a CR at a line's end dropped). Raises InputError.
std::vector<std::string> ReadTextLines(const std::string& path);

// Reads the contract file. Raises InputError.
std::shared_ptr<ContractData> ReadContractFile(const std::string& path);

// Reads the articles file into a collection of new article objects of the
// add-on, each created through its class factory. Raises InputError.
std::shared_ptr<rt::Collection> ReadArticlesFile(const std::string& path);

// The same for the text of such a file; `name` names it in messages.
std::shared_ptr<ContractData> ParseContract(const std::string& name, std::string_view text);
std::shared_ptr<rt::Collection> ParseArticles(const std::string& name, std::string_view text);

}  // namespace kelhost
