#pragma once
// The number semantics the show and the effects share, written once:
// - R: round to the nearest integer, halves to even; outside int32 is an overflow error
//   (R64: the same into 64 bits, for the millisecond tick and its deadlines);
// - Single: store into a single-precision variable;
// - 32-bit signed integer operations that report overflow;
// - double operations that report division by zero, overflow and invalid results.
#include <cstdint>

namespace slidesaver {

int32_t R(double x);
int64_t R64(double x);
float Single(double x);

int32_t Add32(int32_t a, int32_t b);
int32_t Sub32(int32_t a, int32_t b);
int32_t Mul32(int32_t a, int32_t b);
int32_t Neg32(int32_t a);
int32_t Div32(int32_t a, int32_t b);  // truncating integer division, checked
int32_t Int32(int64_t a);             // a 64-bit value stored into a 32-bit variable, checked

// Floating results: infinity or NaN from finite operands is an error.
double Checked(double x);
double Div(double a, double b);  // a / b; b == 0 is a division-by-zero error

}  // namespace slidesaver
