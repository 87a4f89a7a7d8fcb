// Contract numbers from the host's number ranges (KMMD_Nummern).
#include <algorithm>

#include "core/globals.h"
#include "core/mod_kt.h"
#include "platform/error.h"
#include "platform/format.h"
#include "platform/object.h"
#include "platform/text.h"

namespace modKT {

namespace {

constexpr host::Flags kFlags = 256;
constexpr const char* kCounterPattern = "00000000";
constexpr size_t kCounterDigits = 8;
// The error an object raises for a tenant missing from KMMD_Mandanten.
constexpr int32_t kTenantMissing = rt::kObjectError + 2;

std::shared_ptr<host::DbIndexes> IndexesOf(const std::shared_ptr<host::DbTable>& t) {
  return rt::Need(t->Indexes());
}
// The key of the current record in the current index.
std::string CurrentKey(const std::shared_ptr<host::DbTable>& t) {
  return rt::Need(IndexesOf(t)->Current())->KeyValue();
}

// "00000041" -> "00000042", "99999999" -> "100000000". A counter of plain
// digits is counted up digit by digit, so no length loses precision. Any
// other text counts by its leading number (Val; "abc" is 0).
std::string NextCounter(const std::string& stored) {
  const size_t first = stored.find_first_not_of(" \t");
  const size_t last = stored.find_last_not_of(" \t");
  std::string digits = first == std::string::npos ? "" : stored.substr(first, last - first + 1);
  const bool plain =
      !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!plain) return rt::FormatNumber(rt::Val(std::string_view(stored)) + 1, kCounterPattern);

  size_t i = digits.size();
  while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
  if (i == 0)
    digits.insert(digits.begin(), '1');
  else
    ++digits[i - 1];
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
  if (digits.size() < kCounterDigits) digits.insert(0, kCounterDigits - digits.size(), '0');
  return digits;
}

}  // namespace

std::string GetNextNumber(const std::shared_ptr<host::DbField>& field) {
  auto target = rt::Need(field);
  auto conn = rt::Need(rt::Need(gDB)->Connection());
  const std::string tenant = rt::UCase(rt::Need(conn->Mandant())->Name());
  const std::string tblName = rt::UCase(rt::Need(rt::Need(target->Parent())->Parent())->Name());
  const std::string fldName = rt::UCase(target->Name());
  const std::string key = tblName + fldName;

  auto nums = rt::Need(conn->Table("KMMD_Nummern"));
  IndexesOf(nums)->Select("Tabelle_Feld", kFlags);
  bool found = false;
  nums->FindKey(key, kFlags, &found);
  if (!found) CreateNumberEntry(nums, tblName, fldName);
  if (CurrentKey(nums) != key) CreateNumberEntry(nums, tblName, fldName);

  // The rows of this key lie together in the index; take this tenant's.
  found = false;
  while (!nums->Eof() && CurrentKey(nums) == key) {
    if (rt::UCase(rt::CStr(rt::Need(rt::Need(nums->Record())->Item("KelName"))->Value())) == tenant) {
      found = true;
      break;
    }
    nums->Move(1, kFlags);
  }
  if (!found) CreateNumberEntry(nums, tblName, fldName);

  auto nummer = rt::Need(rt::Need(nums->Fields())->Item("Nummer"));
  const std::string text = NextCounter(rt::CStr(nummer->Value()));
  nummer->SetValue(text);
  nums->Update(kFlags);

  const int32_t size = target->Size();
  return size > 0 ? rt::Right(text, size) : text;
}

void CreateNumberEntry(const std::shared_ptr<host::DbTable>& tbl, const std::string& tblName,
                       const std::string& fldName) {
  auto nums = rt::Need(tbl);
  const std::string indexName = rt::Need(IndexesOf(nums)->Current())->Name();

  auto conn = rt::Need(rt::Need(gDB)->Connection());
  auto tenants = rt::Need(conn->Table("KMMD_Mandanten"));
  IndexesOf(tenants)->Select("kelName", 0);
  auto tenant = rt::Need(conn->Mandant());
  bool found = false;
  tenants->Seek(tenant->Name(), 0, &found);
  if (!found) rt::Raise(kTenantMissing, "", "Mandant " + tenant->Text(0) + " fehlt in Mandantentabelle!");

  rt::Variant values;
  nums->NewValues(0, &values);
  nums->SetValues(values);
  auto fields = rt::Need(nums->Fields());
  rt::Need(fields->Item("Tabelle"))->SetValue(tblName);
  rt::Need(fields->Item("Feld"))->SetValue(fldName);
  rt::Need(fields->Item("Nummer"))->SetValue(kCounterPattern);
  nums->Insert(0);
  IndexesOf(nums)->Select(indexName, 0);
}

}  // namespace modKT
