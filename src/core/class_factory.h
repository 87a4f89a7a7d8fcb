// The library's class factory: the classes a host may create by name.
//
//   "kelPaktor2.CKT"            the entry class
//   "kelPaktor2.kt_CContractD"  contract data for CKT::NewContractDebitor
//   "kelPaktor2.kt_CArticle"    one article line for it
//
// Loading the library registers the three in the runtime's class registry
// (rt::CreateObject); unloading it removes them again.
#pragma once

#include <string_view>

#include "platform/object.h"

namespace kelpaktor2 {

// A new object of the named class. The name may be given with or without
// the library prefix "kelPaktor2." and matches without regard to letter
// case. An unknown name, or a failure while creating, raises 429.
rt::ObjectPtr CreateInstance(std::string_view className);

}  // namespace kelpaktor2
