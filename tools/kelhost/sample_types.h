// The contract types of the sample database (`kelhost init --sample` and
// `kelhost demo`). Each is entered through the contract-type editor
// (CKT.EditContractDefinition for a new type) from a built-in script played
// as a user would type it, so that the sample holds exactly what the editor
// stores:
//
//   "Wartung jährlich"     released, renewable 12 months paid quarterly,
//                          renewed 12 months paid yearly; A1 twice
//   "Projekt einmalig"     released, one-off 6 months paid monthly; A3
//   "Hosting unbefristet"  released, open-ended, paid monthly; A2
//   "Entwurf"              in work, a payable type with its placeholder
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/sqlite/stand_in.h"

namespace kelhost {

struct SampleType {
  const char* name;    // its Bezeichnung
  const char* script;  // the editor script that enters it
};

// The four sample types in the order they are entered.
const std::vector<SampleType>& SampleTypes();

// Enters the sample types into `host`, each as one host call. Returns ""
// when every type was saved without a message box, else what went wrong
// (the types entered before stay).
std::string EnterSampleTypes(host::sqlite::StandIn& host);

// Creates the sample database `path` (StandIn::Create with the sample
// data, made as `file` says, then EnterSampleTypes) and returns it. When a
// type cannot be entered, the file is removed again (with its -wal and
// -shm files) and `problem` says why; the result is then null.
std::shared_ptr<host::sqlite::StandIn> CreateSampleDatabase(const std::string& path,
                                                            const host::sqlite::NewFileOptions& file,
                                                            std::string& problem);

}  // namespace kelhost
