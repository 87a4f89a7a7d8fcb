#include "kelhost/sample_types.h"

#include <filesystem>
#include <sstream>

#include "kelhost/edit_type_call.h"
#include "platform/ui/script.h"

namespace kelhost {

const std::vector<SampleType>& SampleTypes() {
  static const std::vector<SampleType> types = {
      {"Wartung jährlich",
       "type txtBezeichnung Wartung jährlich\n"
       "select cboStatus freigegeben\n"
       "select cboZahlungsperiode vierteljährlich\n"
       "select cboKuendFrist 3\n"
       "select cboKuendEinh Monate\n"
       "select cboZahlungsperiode2 jährlich\n"
       "select cboKuendFrist2 6\n"
       "select cboKuendEinh2 Wochen\n"
       "pick lvwArtikel Wartung Basis\n"
       "click cmdAddPos\n"
       "type txtAnzahl 2\n"
       "type txtPreisM12 100\n"
       "type txtPreisM24 200\n"
       "type txtPreisM36 300\n"
       "type txtPreisM48 400\n"
       "type txtPreisM60 500\n"
       "click cmdOk\n"
       "click cmdSave\n"},
      {"Projekt einmalig",
       "type txtBezeichnung Projekt einmalig\n"
       "select cboStatus freigegeben\n"
       "untick chkVerlaengerbar\n"
       "type txtDauer 6\n"
       "pick lvwArtikel Support\n"
       "click cmdAddPos\n"
       "click cmdOk\n"
       "click cmdSave\n"},
      {"Hosting unbefristet",
       "type txtBezeichnung Hosting unbefristet\n"
       "select cboStatus freigegeben\n"
       "choose optUnbefristet\n"
       "pick lvwArtikel Hotline\n"
       "click cmdAddPos\n"
       "click cmdOk\n"
       "click cmdSave\n"},
      {"Entwurf",
       "type txtBezeichnung Entwurf\n"
       "choose optKreditor\n"
       "click cmdSave\n"},
  };
  return types;
}

std::string EnterSampleTypes(host::sqlite::StandIn& host) {
  for (const SampleType& type : SampleTypes()) {
    std::ostringstream boxes;
    const EditTypeRun run = RunEditType(host, "", ui::test::ParseScript(type.script), boxes);
    const std::string what = std::string("the sample type \"") + type.name + "\" ";
    if (run.refused != kExitOk)
      return what + "could not be entered: the database is " + (run.refused == kExitUsage ? "damaged" : "locked");
    if (run.failure) return what + "could not be entered: " + *run.failure;
    if (run.raised) return what + "could not be entered: the add-on raised an error";
    std::string shown = boxes.str();
    while (!shown.empty() && shown.back() == '\n') shown.pop_back();
    if (!shown.empty()) return what + "showed a message: " + shown;
    if (!run.saved) return what + "was not saved";
  }
  return "";
}

std::shared_ptr<host::sqlite::StandIn> CreateSampleDatabase(const std::string& path,
                                                            const host::sqlite::NewFileOptions& file,
                                                            std::string& problem) {
  bool created = false;
  try {
    std::shared_ptr<host::sqlite::StandIn> host = host::sqlite::StandIn::Create(path, true, file);
    created = true;
    problem = EnterSampleTypes(*host);
    if (problem.empty()) return host;
  } catch (const std::exception& e) {
    if (!created) throw;  // Create leaves no file behind
    problem = e.what();
  }
  // The database is closed by now; a sample without its types is none.
  std::error_code ec;
  for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix, ec);
  return nullptr;
}

}  // namespace kelhost
