// Built-in arithmetic: absolute value, truncation, roots, remainders, rounding, trigonometry, logarithms, random numbers.
#include <cmath>

#include "model/builtin_functions.h"
#include "model/value_conversion.h"
#include "model/variable_context.h"

namespace tvn::builtins {
namespace {

double A1(CBuiltinCall& call) { return call.Arg(1).GetReal(); }

// Uniform over [0, m) from the 15-bit generator: three draws give 45 bits,
// and values past the last whole multiple of m are drawn again.
long long DrawWide(CScriptRandom& random, long long m) {
  constexpr long long kSpan = 1LL << 45;
  const long long limit = kSpan - kSpan % m;
  while (true) {
    long long r = (static_cast<long long>(random.Next()) << 30) | (static_cast<long long>(random.Next()) << 15) |
                  random.Next();
    if (r < limit) return r % m;
  }
}

}  // namespace

void Random(CBuiltinCall& call) {
  const double n = A1(call);
  if (!(n > 0)) {
    call.SetNumber(n);
    return;
  }
  CScriptRandom& random = call.context.Random();
  if (!random.IsSeeded()) random.Seed(static_cast<std::uint32_t>(call.context.Now()));
  const long long m = static_cast<long long>(values::TruncateToLong(n)) + 1;
  if (m > 32768) {
    call.SetNumber(static_cast<double>(DrawWide(random, m)));
    return;
  }
  // A rejection loop over the generator's 0..32767, for the range it serves well.
  const int limit = 32767 - static_cast<int>(32767 % m);
  int r = random.Next();
  for (int tries = 0; r > limit && tries < 32767; ++tries) r = random.Next();
  call.SetNumber(static_cast<double>(r % m));
}

void Abs(CBuiltinCall& call) { call.SetNumber(std::fabs(A1(call))); }
// Out of the 32-bit range the value saturates.
void Int(CBuiltinCall& call) { call.SetNumber(values::TruncateToLong(A1(call))); }
void Sqrt(CBuiltinCall& call) { call.SetNumber(std::sqrt(std::fabs(A1(call)))); }
void Mod(CBuiltinCall& call) { call.SetNumber(std::fmod(A1(call), call.Arg(2).GetReal())); }
void RoundUp(CBuiltinCall& call) { call.SetNumber(std::ceil(A1(call))); }
void RoundDown(CBuiltinCall& call) { call.SetNumber(std::floor(A1(call))); }
void Cos(CBuiltinCall& call) { call.SetNumber(std::cos(A1(call))); }
void Sin(CBuiltinCall& call) { call.SetNumber(std::sin(A1(call))); }
void Tan(CBuiltinCall& call) { call.SetNumber(std::tan(A1(call))); }
void Acos(CBuiltinCall& call) { call.SetNumber(std::acos(A1(call))); }
void Asin(CBuiltinCall& call) { call.SetNumber(std::asin(A1(call))); }
void Atan(CBuiltinCall& call) { call.SetNumber(std::atan(A1(call))); }
void Exp(CBuiltinCall& call) { call.SetNumber(std::exp(A1(call))); }
void Log(CBuiltinCall& call) { call.SetNumber(std::log(A1(call))); }
void Log10(CBuiltinCall& call) { call.SetNumber(std::log10(A1(call))); }

}  // namespace tvn::builtins
