#include "kelhost/input_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>

#include "core/class_factory.h"
#include "platform/error.h"

namespace kelhost {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// True when `s` is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = 0;
    uint32_t cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      n = 1;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 2;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + n >= s.size()) return false;
    for (size_t k = 1; k <= n; ++k) {
      const unsigned char cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if ((n == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
      return false;
    i += n + 1;
  }
  return true;
}

// Reads a whole input file: a regular file of at most kMaxInputBytes,
// checked before anything is read (opened without waiting, so that a pipe
// without a writer is refused rather than waited for); a file that grows
// meanwhile is cut off at the bound and refused.
std::string ReadFileText(const std::string& path) {
  auto failed = [&path](const std::string& why) { return InputError(path, 0, why); };
  const std::string tooLarge = "is larger than " + std::to_string(kMaxInputBytes >> 20) + " MiB";
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw failed(std::string("cannot be read: ") + std::strerror(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) throw failed(std::string("cannot be read: ") + std::strerror(errno));
  if (!S_ISREG(st.st_mode)) throw failed("is not a regular file");
  if (st.st_size > kMaxInputBytes) throw failed(tooLarge);
  std::string text;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw failed(std::string("cannot be read: ") + std::strerror(errno));
    if (n == 0) return text;
    text.append(buffer, static_cast<size_t>(n));
    if (text.size() > static_cast<size_t>(kMaxInputBytes)) throw failed(tooLarge);
  }
}

// The lines of a text: a leading byte-order mark skipped, each line
// without its "\n" and without a CR at its end.
std::vector<std::string> SplitLines(const std::string& name, std::string_view rest) {
  if (rest.substr(0, kBom.size()) == kBom) rest.remove_prefix(kBom.size());
  std::vector<std::string> lines;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    // SQLite's readers would see a text cut at a NUL byte.
    if (line.find('\0') != std::string_view::npos)
      throw InputError(name, static_cast<int>(lines.size()), "contains a NUL byte");
    if (!IsUtf8(lines.back())) throw InputError(name, static_cast<int>(lines.size()), "is not UTF-8 text");
  }
  return lines;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

const InputProperty* FindProperty(const std::vector<InputProperty>& properties, std::string_view name) {
  for (const InputProperty& p : properties)
    if (rt::NameEquals(p.name, name)) return &p;
  return nullptr;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const size_t end = line.find(';');
    fields.push_back(line.substr(0, end));
    if (end == std::string_view::npos) return fields;
    line.remove_prefix(end + 1);
  }
}

rt::Variant Convert(const std::string& path, int line, const InputProperty& p, std::string_view text) {
  std::optional<rt::Variant> v = ConvertValue(text, p.type);
  if (!v)
    throw InputError(path, line,
                     std::string(p.name) + ": \"" + std::string(text) + "\" is not " + DescribeValueType(p.type));
  return *v;
}

}  // namespace

InputError::InputError(const std::string& file, int line, const std::string& problem)
    : std::runtime_error(file + (line > 0 ? ", line " + std::to_string(line) : std::string()) + ": " +
                         problem) {}

rt::Variant ContractData::Get(std::string_view name) const {
  for (const auto& [n, v] : values_)
    if (rt::NameEquals(n, name)) return v;
  missed_ = true;
  rt::RaiseRuntime(rt::errc::NoSuchMember);
}

void ContractData::Put(std::string_view name, const rt::Variant& value) {
  for (auto& [n, v] : values_) {
    if (rt::NameEquals(n, name)) {
      v = value;
      return;
    }
  }
  values_.emplace_back(std::string(name), value);
}

bool ContractData::Has(std::string_view name) const {
  for (const auto& entry : values_)
    if (rt::NameEquals(entry.first, name)) return true;
  return false;
}

const std::vector<InputProperty>& ContractProperties() {
  static const std::vector<InputProperty> properties = {
      {"lVertragArt", ValueType::Whole},
      {"VertragBeginn", ValueType::Date},
      {"VertragGeschlossenAm", ValueType::Date},
      {"Bezeichnung", ValueType::Text},
      {"Dauer", ValueType::Whole},
      {"Zahlungsperiode", ValueType::Whole},
      {"Verlaengerungsdauer", ValueType::Whole},
      {"VerlaengerungsZahlungsperiode", ValueType::Whole},
      {"dblRabatt", ValueType::Decimal},
      {"KuendFristInWochen", ValueType::Whole},
      {"Memo", ValueType::Text},
      {"RabattNurErsteLaufzeit", ValueType::Boolean},
      {"SetztMerkmalGruppe", ValueType::Text},
      {"SetztMerkmal", ValueType::Text},
      {"SetztWert", ValueType::Text},
      {"Auftragsnummer", ValueType::Text},
  };
  return properties;
}

const std::vector<InputProperty>& ArticleProperties() {
  static const std::vector<InputProperty> properties = {
      {"sArtikelID", ValueType::Text},         {"dblAnzahl", ValueType::Decimal},
      {"lPreisDauer", ValueType::Whole},       {"bSonderpreisVerwenden", ValueType::Boolean},
      {"dblPreis", ValueType::Decimal},        {"sBeschreibung", ValueType::Text},
      {"bUseCustomDiscount", ValueType::Boolean}, {"dblCustomDiscount", ValueType::Decimal},
      {"sAuftragsnummer", ValueType::Text},    {"sGruppierung", ValueType::Text},
  };
  return properties;
}

std::vector<std::string> ReadTextLines(const std::string& path) { return SplitLines(path, ReadFileText(path)); }

std::shared_ptr<ContractData> ReadContractFile(const std::string& path) {
  return ParseContract(path, ReadFileText(path));
}

std::shared_ptr<rt::Collection> ReadArticlesFile(const std::string& path) {
  return ParseArticles(path, ReadFileText(path));
}

std::shared_ptr<ContractData> ParseContract(const std::string& path, std::string_view text) {
  auto contract = std::make_shared<ContractData>();
  const std::vector<std::string> lines = SplitLines(path, text);
  for (size_t i = 0; i < lines.size(); ++i) {
    const int lineNo = static_cast<int>(i + 1);
    const std::string_view line = TrimBlanks(lines[i]);
    if (line.empty() || line[0] == '#') continue;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) throw InputError(path, lineNo, "no \"=\" in the line");
    const std::string_view name = TrimBlanks(line.substr(0, eq));
    const InputProperty* p = FindProperty(ContractProperties(), name);
    if (!p) throw InputError(path, lineNo, "unknown name \"" + std::string(name) + "\"");
    if (contract->Has(p->name)) throw InputError(path, lineNo, std::string(p->name) + " is given twice");
    contract->Put(p->name, Convert(path, lineNo, *p, TrimBlanks(line.substr(eq + 1))));
  }
  return contract;
}

std::shared_ptr<rt::Collection> ParseArticles(const std::string& path, std::string_view text) {
  auto articles = std::make_shared<rt::Collection>();
  const std::vector<std::string> lines = SplitLines(path, text);
  std::vector<const InputProperty*> columns;
  bool haveHeader = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    const int lineNo = static_cast<int>(i + 1);
    if (lines[i].empty()) continue;
    const std::vector<std::string_view> fields = SplitFields(lines[i]);
    if (!haveHeader) {
      for (std::string_view name : fields) {
        const InputProperty* p = FindProperty(ArticleProperties(), name);
        if (!p) throw InputError(path, lineNo, "unknown name \"" + std::string(name) + "\" in the header");
        for (const InputProperty* seen : columns)
          if (seen == p) throw InputError(path, lineNo, std::string(p->name) + " is given twice in the header");
        columns.push_back(p);
      }
      haveHeader = true;
      continue;
    }
    if (fields.size() != columns.size())
      throw InputError(path, lineNo,
                       std::to_string(fields.size()) + " fields, the header has " + std::to_string(columns.size()));
    rt::ObjectPtr article = kelpaktor2::CreateInstance("kt_CArticle");
    for (size_t c = 0; c < columns.size(); ++c) {
      if (fields[c].empty()) continue;  // keeps the new article's value
      const rt::Variant value = Convert(path, lineNo, *columns[c], fields[c]);
      try {
        article->Put(columns[c]->name, value);
      } catch (const rt::Error& e) {
        throw InputError(path, lineNo, std::string(columns[c]->name) + ": " + e.description());
      }
    }
    articles->Add(rt::Variant(article));
  }
  if (!haveHeader) throw InputError(path, 0, "has no header line");
  return articles;
}

}  // namespace kelhost
