// Arithmetic on a row of doubles, one particle per lane, for the force kernel.
// The width follows the instruction set the including file is compiled for:
// 8 lanes with AVX-512, 4 with AVX2 and FMA, 2 on any x86-64. Every lane runs
// the same operations as every other lane, so a particle's result never
// depends on which lane it occupies.
//
// Only the kernel's own translation units include this file, and everything
// here has internal linkage: a copy compiled for AVX-512 must never be the one
// the linker hands to a processor without it.
//
// The AVX-512 intrinsics are called in their zero-masking form with every
// lane selected: the plain forms trip GCC 12's uninitialised-value warning.
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace {

#if defined(__AVX512F__)
constexpr int Lanes = 8;
#elif defined(__AVX2__) && defined(__FMA__)
constexpr int Lanes = 4;
#else
constexpr int Lanes = 2;
#endif

typedef double Row __attribute__((vector_size(8 * Lanes)));
typedef std::int64_t RowBits __attribute__((vector_size(8 * Lanes)));  // also the type of a comparison

inline Row splat(double s) { return Row{} + s; }

inline Row bitsAsRow(RowBits b) { return __builtin_bit_cast(Row, b); }
inline RowBits rowAsBits(Row r) { return __builtin_bit_cast(RowBits, r); }

inline Row select(RowBits mask, Row ifTrue, Row ifFalse) { return mask ? ifTrue : ifFalse; }

// a * b + c. Fused where the processor has it; without FMA the kernel is
// still within its stated bound, only a little less accurate.
inline Row fused(Row a, Row b, Row c) {
#if defined(__AVX512F__)
    return _mm512_fmadd_pd(a, b, c);
#elif defined(__FMA__)
    return _mm256_fmadd_pd(a, b, c);
#else
    return a * b + c;
#endif
}

// c - a * b
inline Row fusedNegated(Row a, Row b, Row c) {
#if defined(__AVX512F__)
    return _mm512_fnmadd_pd(a, b, c);
#elif defined(__FMA__)
    return _mm256_fnmadd_pd(a, b, c);
#else
    return c - a * b;
#endif
}

// Correctly rounded, like std::sqrt, so that the slot shapes see exactly the
// distance the reference computes.
inline Row squareRoot(Row v) {
#if defined(__AVX512F__)
    return _mm512_maskz_sqrt_pd(0xff, v);
#elif defined(__AVX2__)
    return _mm256_sqrt_pd(v);
#else
    return _mm_sqrt_pd(v);
#endif
}

// The larger of a and b in every lane, and b where either is NaN; one
// instruction where a comparison and a blend would take two.
inline Row maximum(Row a, Row b) {
#if defined(__AVX512F__)
    return _mm512_maskz_max_pd(0xff, a, b);
#elif defined(__AVX2__)
    return _mm256_max_pd(a, b);
#else
    return _mm_max_pd(a, b);
#endif
}

// An all-ones lane for every lane whose v is neither infinite nor NaN.
inline RowBits isFinite(Row v) { return (v - v) == 0; }

// 1 / sqrt(v) to about 2^-14 (AVX-512's estimate) or to a few 10^-6 (the
// exponent-halving bit trick refined twice by Newton). The caller finishes the
// job with one higher-order correction, which these errors are small enough for.
inline Row inverseRootEstimate(Row v) {
#if defined(__AVX512F__)
    return _mm512_maskz_rsqrt14_pd(0xff, v);
#else
    const RowBits magic = RowBits{} + 0x5fe6eb50c7b537a9;
    Row y = bitsAsRow(magic - (rowAsBits(v) >> 1));
    const Row half = v * 0.5;
    for (int step = 0; step < 2; ++step) y = y * fusedNegated(half, y * y, splat(1.5));
    return y;
#endif
}

// v^(-3/2) within about 3 units in the last place, without a division or a
// square root. With y the estimate and e = 1 - v y^2, the exact answer is
// y^3 (1 - e)^(-3/2) = y^3 (1 + 3/2 e + 15/8 e^2 + 35/16 e^3 + 315/128 e^4 ...);
// the series is cut after e^3, which for |e| <= 2^-13 leaves at most 2.5 ulps.
inline Row inverseRootCubed(Row v) {
    const Row y = inverseRootEstimate(v);
    const Row yy = y * y;
    const Row e = fusedNegated(v, yy, splat(1.0));
    Row p = fused(splat(35.0 / 16), e, splat(15.0 / 8));
    p = fused(p, e, splat(1.5));
    const Row y3 = yy * y;
    return fused(y3 * e, p, y3);
}

// e^x within about 1 unit in the last place for results above 1e-307; below
// that the result is 0, and above the largest double it is infinite. The
// argument is split as x = n ln2 + r with |r| <= ln2 / 2, e^r is its Taylor
// polynomial to r^13 (the rest is below 2^-56), and 2^n goes into the exponent.
inline Row exponential(Row x) {
    const double roundingShift = 0x1.8p52;   // adding it rounds to an integer
    const Row shifted = x * 1.4426950408889634 + roundingShift;
    const Row n = shifted - roundingShift;
    // ln2 in two parts; the first has 32 trailing zero bits, so n times it
    // and its difference from x are exact even without a fused operation.
    Row r = x - n * 0x1.62e42feep-1;
    r = fusedNegated(n, splat(0x1.a39ef35793c76p-33), r);
    // 1 + r + r^2/2 + r^3/6 by Horner, which keeps the rounding of the large
    // terms small; the tail r^4/4! .. r^13/13! by Estrin's scheme, whose
    // short dependency chains let neighbouring exponentials overlap.
    const Row r2 = r * r;
    const Row r4 = r2 * r2;
    auto pair = [&](double low, double high) { return fused(splat(high), r, splat(low)); };
    const Row t45 = fused(pair(1.0 / 720, 1.0 / 5040), r2, pair(1.0 / 24, 1.0 / 120));
    const Row t89 = fused(pair(1.0 / 3628800, 1.0 / 39916800), r2, pair(1.0 / 40320, 1.0 / 362880));
    const Row t1213 = pair(1.0 / 479001600, 1.0 / 6227020800);
    const Row tail = fused(fused(t1213, r4, t89), r4, t45);
    Row p = fused(tail, r, splat(1.0 / 6));
    p = fused(p, r, splat(0.5));
    p = fused(p, r, splat(1.0));
    p = fused(p, r, splat(1.0));
    // 2^(n-1) times 2p keeps the exponent field below its infinite code for
    // every n up to 1024, the largest a finite result needs.
    const RowBits exponent = rowAsBits(shifted) - rowAsBits(splat(roundingShift)) + 1022;
    const Row result = (p + p) * bitsAsRow(exponent << 52);
    const Row infinity = splat(__builtin_inf());
    return select(x < -707.0, Row{}, select(x > 709.8, infinity, result));
}

}  // namespace
