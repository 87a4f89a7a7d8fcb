#include "core/discount.h"

#include "platform/number.h"

namespace kp {

double ApplyDiscount(double price, double percent) {
  if (percent == 0) return price;
  return rt::Sub(price, rt::Round2(rt::Mul(rt::Div(price, 100), percent)));
}

}  // namespace kp
