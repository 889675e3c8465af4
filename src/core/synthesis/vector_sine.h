#pragma once

// The sine of the partial loop, inlined into the kernels: a Cody-Waite reduction by
// multiples of pi split into four parts of 26 bits (exact for |x| < 2^27 pi) and the
// Taylor series of sin to the 21st power on [-pi/2, pi/2]. Its error is a few units in
// the last place of the result (measured by a test against the C library's sin), far
// below what could move a 16-bit sample; arguments beyond kSineRange go to SLEEF.
namespace vocanta::sine {

inline constexpr double kSineRange = 4.0e8;
inline constexpr double kInversePi = 0.31830988618379067154;
inline constexpr double kPiA = 3.1415926814079285;
inline constexpr double kPiB = -2.781813535079891e-08;
inline constexpr double kPiC = 1.2246467864107189e-16;
inline constexpr double kPiD = 1.27366343270219e-24;
// (-1)^n / (2n + 1)! for n = 10 down to 1.
inline constexpr double kTaylor[] = {
    1.9572941063391263e-20, -8.22063524662433e-18,  2.8114572543455206e-15, -7.647163731819816e-13,
    1.6059043836821613e-10, -2.505210838544172e-08, 2.7557319223985893e-06, -0.0001984126984126984,
    0.008333333333333333,   -0.16666666666666666};

}  // namespace vocanta::sine
