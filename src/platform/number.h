// Checked arithmetic and cent rounding.
//
// Where the add-on computes amounts, an overflow or a non-finite result is an
// error (6), a division by zero is error 11, never infinity or NaN.
#pragma once

#include <cstdint>
#include <functional>

namespace rt {

double Add(double a, double b);  // raises 6 when the result is not finite
double Sub(double a, double b);
double Mul(double a, double b);
double Div(double a, double b);  // b == 0: 11 (0 / 0: 6); non-finite: 6

// Integer remainder with the sign of the dividend; a 0 divisor raises 11.
int32_t Mod(int32_t a, int32_t b);

// Rounds to cents: the double nearest to the exact decimal value of x
// rounded half to even to cents. The whole part of x is kept as it is and
// only the fraction is rounded; its hundredfold is a plain double product,
// and where that product is exactly a half, the exact product decides (a
// true half goes to the even cent, a value stored just below or above the
// half goes down or up). A finite value of 2^52 or more in magnitude is a
// whole number, which cents cannot change: it is given back as it is.
// NaN and the infinities give 0, and so does every x whose cents are 0
// (never -0). Never raises.
// The one cent rounding of the whole add-on: 0.125 -> 0.12, 2.675 -> 2.67,
// 0.135 -> 0.14, 1.005 -> 1.00, 21474836.48 -> 21474836.48, 1e17 -> 1e17,
// 360399865617087.0 -> 360399865617087.0.
double Round2(double x) noexcept;

// Runs body(i) for i = from .. to with a 16-bit counter, as a counting loop
// of the original does: `to` is converted to 16 bits first (above 32767
// raises 6 before any pass), and the step past 32767 raises 6 after the last
// pass. body may throw to leave the loop.
void For16(int32_t from, int32_t to, const std::function<void(int16_t)>& body);

// Adds 1 to a 16-bit counter; 32767 + 1 raises 6.
int16_t Inc16(int16_t i);

}  // namespace rt
