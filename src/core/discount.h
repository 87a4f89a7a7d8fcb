// The discount rule of every save: a price less its reduction rounded to
// cents.
#pragma once

namespace kp {

// `price` itself, not rounded, when `percent` is exactly 0; otherwise
// price - rt::Round2(price / 100 * percent), divided first, and the result
// not rounded again. The arithmetic is checked: a result that leaves the
// doubles raises 6 (rt::Div, rt::Mul, rt::Sub). Examples: 10 % of 99.99 is
// 89.99; 50 % of 0.05 is 0.05 - 0.03 (the reduction 0.025 is stored just
// above the half).
double ApplyDiscount(double price, double percent);

}  // namespace kp
