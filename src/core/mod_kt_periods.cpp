#include "core/mod_kt.h"

namespace modKT {

std::string GetPeriodText(int32_t months) {
  switch (months) {
    case 1:
      return "monatlich";
    case 3:
      return "vierteljährlich";
    case 6:
      return "halbjährlich";
    case 12:
      return "jährlich";
    case 24:
      return "zweijährlich";
    case 36:
      return "dreijährlich";
    case 48:
      return "vierjährlich";
    case 60:
      return "fünfjährlich";
    case 2:
    case 4:
    case 5:
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
      return "einmalig";
    default:
      return "";
  }
}

}  // namespace modKT
