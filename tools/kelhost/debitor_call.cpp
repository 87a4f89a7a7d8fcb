#include "kelhost/debitor_call.h"

#include <iostream>
#include <string>

#include "core/ckt.h"
#include "core/class_factory.h"
#include "kelhost/command.h"
#include "kelhost/host_call.h"
#include "platform/error.h"

namespace kelhost {

int CallNewContractDebitor(host::sqlite::StandIn& host, const rt::ObjectPtr& contract,
                           const std::shared_ptr<rt::Collection>& articles, std::ostream& out) {
  auto ckt = std::dynamic_pointer_cast<CKT>(kelpaktor2::CreateInstance("CKT"));
  if (!ckt) rt::RaiseRuntime(rt::errc::CannotCreateObject);
  std::shared_ptr<host::HostApplication> app = host.Application();
  const HostCall call = RunHostCall(host, [&] { ckt->NewContractDebitor(app, contract, articles); });
  ckt.reset();
  if (!call.ran()) return call.refused;

  const bool contractWritten = PrintCallRecords(out, call.written);
  out << std::flush;

  if (call.raised) return kExitFailed;
  if (!contractWritten) {
    PrintError("no contract was written");
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace kelhost
