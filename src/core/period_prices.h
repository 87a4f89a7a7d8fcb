// The price of a contract position for one payment period, from its eight
// price columns PreisM1 .. PreisM60: the programmatic creation prices its
// positions so, and the renewal terms of a back-filled contract.
#pragma once

#include <cstdint>

#include "platform/number.h"

namespace kp {

// The payment periods with a price column of their own: 1, 3, 6, 12, 24,
// 36, 48 and 60 months.
inline bool IsStandardPeriod(int32_t months) {
  return months == 1 || months == 3 || months == 6 || months == 12 || months == 24 || months == 36 ||
         months == 48 || months == 60;
}

// The column of a standard period of `months` months; PreisM60 for any
// other count. `Position` is any record with the eight columns.
template <class Position>
double PriceColumn(const Position& p, int32_t months) {
  switch (months) {
    case 1: return p.PreisM1;
    case 3: return p.PreisM3;
    case 6: return p.PreisM6;
    case 12: return p.PreisM12;
    case 24: return p.PreisM24;
    case 36: return p.PreisM36;
    case 48: return p.PreisM48;
    default: return p.PreisM60;
  }
}

// The price of one payment period of `months` months: its column for a
// standard period, else `months` times the monthly column, not rounded
// again (checked: an overflow raises 6).
template <class Position>
double PeriodPrice(const Position& p, int32_t months) {
  return IsStandardPeriod(months) ? PriceColumn(p, months) : rt::Mul(months, p.PreisM1);
}

}  // namespace kp
