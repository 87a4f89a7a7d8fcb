// The process-wide state of the add-on. One set per loaded library; every
// value starts empty (null, 0, false, "") and keeps its last value until the
// library is unloaded; nothing resets it between calls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/application.h"
#include "platform/object.h"

class CAddonError;
class kt_CDefinition;
class kt_CContractD;

// The host application of the last entry call that set it, and its database.
inline std::shared_ptr<host::HostApplication> gApp;
inline std::shared_ptr<host::HostDatabase> gDB;

// The error reporter; exists while at least one CKT object lives.
inline std::shared_ptr<CAddonError> gAddonError;

// "Version <major>.<minor>.0.<revision>", set by the working entry calls.
inline std::string gVersion;

// Mirror of the database setting "CreateAppointment4AllContracts".
inline bool gCreateAppointment4AllContracts = false;
// Lead times of the reminders in weeks, set when the new-contract dialog loads.
inline int32_t gAlarmWochenKuendigung = 0;
inline int32_t gAlarmWochenEnde = 0;

// The contract type edited in memory for one new contract (or null), and
// its positions: a collection of kt_CPosition (or null).
inline std::shared_ptr<kt_CDefinition> gDefinition;
inline std::shared_ptr<rt::Collection> gPositions;

// The programmatic creation's input: the copied contract data and the
// caller's own collection of kt_CArticle.
inline std::shared_ptr<kt_CContractD> gContractD;
inline std::shared_ptr<rt::Collection> gColArt;
