// zel/cpuid/internal/divisioncheck.h — the decision behind
// `CPU_FDIVBugPresent`, apart from the division it judges.
//
// The flawed divider gave 4195835 / 3145727 = 1.33373906890204 instead of
// 1.33382044913624; multiplying back then misses 4195835 by 256.  No
// processor made since 1995 divides wrongly, so the decision is tested on
// quotients given to it:
//
//   zel::detail::DivisionShowsFlaw(4195835.0 / 3145727.0);   // false
//   zel::detail::DivisionShowsFlaw(1.333739068902037589);    // true
#ifndef ZEL_CPUID_INTERNAL_DIVISIONCHECK_H_
#define ZEL_CPUID_INTERNAL_DIVISIONCHECK_H_

namespace zel::detail {

// The operands of the check.
inline constexpr double kFlawDividend = 4195835.0;
inline constexpr double kFlawDivisor = 3145727.0;

// True when `quotient` (kFlawDividend / kFlawDivisor as a processor
// computed it) multiplied back does not give the dividend exactly, or is
// not a number.
bool DivisionShowsFlaw(double quotient) noexcept;

}  // namespace zel::detail

#endif  // ZEL_CPUID_INTERNAL_DIVISIONCHECK_H_
