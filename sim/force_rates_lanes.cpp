// The force computation with one particle i per vector lane, compiled by
// Highway once for every instruction set it targets; the best one the
// processor has runs, chosen at the first call.
//
// Per particle it performs exactly the reference's operations in the
// reference's order (sim/force_rates.cpp, sim/potentials.h): the one-body
// terms by the reference's own code, then for j = 0 .. N-1 ascending the
// Coulomb term and the pair slots 0 .. 9, every product, quotient and square
// root rounded as the reference rounds it, the C library's exp, tanh, cosh
// and pow called lane by lane. So every lane gives the reference's bits, on
// every instruction set, in any lane, block or thread.
//
// The one liberty is how a quotient is obtained in the Coulomb-only loop:
// with a fused multiply-add, a * (1/b) corrected once by its exact remainder
// is the correctly rounded a / b (Markstein), as long as no step comes near
// the subnormal or the overflow range. One true division per pair (1/b, with
// b = r^3 or a^3) serves both components, and 1/m one particle's whole sum.
// The loop takes that path only when every input lies in a range that keeps
// all steps far from those limits (coulombRangeIsSafe); otherwise, and on
// instruction sets without a fused multiply-add, it divides.
//
// The other liberty: values a pair shares with its mirror (r, the Coulomb
// quotients, the slots' values and gradients) are computed once for both,
// which gives the same bits (see "Every pair once" below); each particle
// still takes its terms for ascending j.
//
// Contents: settings hoisted per call; a block of particles; quotients; the
// Coulomb term; the pair-slot shapes and kinds; the pair loops; every pair
// once, the wavefront; the entry points and the dispatch.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "sim/force_kernels.h"
#include "sim/particle_threads.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "sim/force_rates_lanes.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#ifndef PARTIVOX_FORCE_LANES_SHARED
#define PARTIVOX_FORCE_LANES_SHARED

namespace force_lanes {

// ---- Settings hoisted per call ----

// A shape the catalogue does not have is 0 everywhere; the kind still
// multiplies that 0 as the reference does (its sign can reach the sums).
constexpr int ZeroShape = -1;

// A pair slot whose kind acts, with its numbers.
struct ActivePairSlot {
    PotentialKind kind;
    int shape;            // PairShape, or ZeroShape
    bool usesGradient;    // the force kinds; the dissipative kinds use the value
    double strength, a, b, c;
};

// Copied by the thread pool for its helpers, so it holds no pointer: the
// external slots travel with it.
struct LaneSettings {
    ForceSettings s;                  // its slot pointers are not used
    PotentialSlot externalSlots[PotentialSlotCount];
    bool coulomb;                     // forcesEnabled
    double softening, softeningCubed;
    bool folds;
    double halfWidth, width;          // an axis that does not fold: infinite half, zero period
    double halfHeight, height;
    int slotCount;
    ActivePairSlot slots[PotentialSlotCount];
    bool correctedQuotients;          // the Coulomb-only loop may use Markstein's correction
    std::uint64_t call;               // which computeRates this is, for the wavefront's marks
    bool wavefront;                   // every pair once (see below), or every block alone
    int threads;                      // how many threads may run the blocks
};

// Every computeRates call gets the next number, whichever kernel runs it, so
// that marks an earlier call left in a job's scratch never count.
inline std::uint64_t callsMade = 0;

// How long a row of the wavefront waits for the row before it to finish a
// column; negative: as columnPatience measures it.
inline std::atomic<long> patienceNanoseconds{-1};

// What a tile of the wavefront lately took on a running thread, 0 before
// the first row long enough to tell (see noteTileTime).
inline std::atomic<long> tileNanoseconds{0};

// Two ways to run a computation with pair terms that several threads are
// worth: on all of them (the wavefront, or for the Coulomb term alone the
// per-block loop), or the wavefront on the caller alone, which shares every
// pair and waits for no one. On a machine with other work the threads of the
// first wait for each other (a row waits for the row before it, the caller
// for a block, whose thread the system may have taken off its core) and can
// come out slower than one thread. So each way's recent time per call is
// kept, the faster one runs, and every TryOtherEvery calls the other runs
// TrialCalls calls to see whether that has changed. The first call of a way
// after the other does not count: the helpers slept while the caller ran
// alone, and waking them costs that call more than the way does. Only the
// caller's thread uses it.
enum Way { EveryThread, OneThread };

struct WayTimes {
    std::uint64_t size = 0;    // what the times were taken on (sizeKey)
    double seconds[2] = {};    // per call, each way; 0 before its first
    std::uint64_t calls = 0;
    int last = -1;             // the way of the call before
};
inline WayTimes wayTimes;
constexpr std::uint64_t TryOtherEvery = 64;
constexpr std::uint64_t TrialCalls = 2;

inline Way wayToRun(std::uint64_t size) {
    WayTimes& w = wayTimes;
    if (w.size != size) w = WayTimes{size};
    ++w.calls;
    if (w.seconds[EveryThread] == 0) return EveryThread;
    if (w.seconds[OneThread] == 0) return OneThread;
    const Way faster = w.seconds[OneThread] < w.seconds[EveryThread] ? OneThread : EveryThread;
    if (w.calls % TryOtherEvery >= TrialCalls) return faster;
    return faster == OneThread ? EveryThread : OneThread;
}

// A time lately taken, from the one before (0 for none) and a new one: at
// once when that is less, by an eighth of the difference when more. A thread
// loses the processor for 50 to 500 microseconds now and then while it runs;
// such a hiccup, longer than a small computation, hardly moves it, a
// lasting change does within a few calls.
template <class T>
T lately(T before, T now) {
    return before == 0 || now < before ? now : before + (now - before) / 8;
}

inline void noteWayTime(Way way, std::chrono::steady_clock::duration took) {
    const bool counts = wayTimes.last == way;
    wayTimes.last = way;
    if (!counts) return;
    double& t = wayTimes.seconds[way];
    t = lately(t, std::chrono::duration<double>(took).count());
}

inline bool kindActs(int kind) {
    return kind >= static_cast<int>(PotentialKind::ChargeProportional) &&
           kind <= static_cast<int>(PotentialKind::AngularMomentumDissipation);
}

inline ActivePairSlot activePairSlot(const PotentialSlot& k) {
    const auto kind = static_cast<PotentialKind>(k.kind);
    const bool force = kind == PotentialKind::ChargeProportional || kind == PotentialKind::MassProportional;
    const int shape = k.shape >= 0 && k.shape < PairShapeCount ? k.shape : ZeroShape;
    return {kind, shape, force, k.strength, k.a, k.b, k.c};
}

// The reference folds with half = period / 2 in integer division.
inline void setFold(int mode, int period, double& half, double& length) {
    const bool folds = static_cast<BoundaryMode>(mode) == BoundaryMode::PeriodicInteracting;
    half = folds ? period / 2 : __builtin_inf();
    length = folds ? period : 0;
}

// |v| is 0 or lies in [2^low, 2^high].
inline bool zeroOrWithin(double v, int low, int high) {
    const double a = std::fabs(v);
    return a == 0 || (a >= std::ldexp(1.0, low) && a <= std::ldexp(1.0, high));
}

// Inside these limits no step of the corrected quotients meets a subnormal,
// an overflow or an inexact remainder: a nonzero coordinate difference is at
// least 2^-302 and r at most 2^102, so r^3 lies in [2^-906, 2^306], every
// Coulomb quotient in [2^-607, 2^604], its product with k q qj in
// [2^-757, 2^754] and that over m in [2^-807, 2^804]; every remainder stays
// above 2^-860. Zeros pass through the correction with their sign (see
// correctedQuotient). Masses must be positive for that.
inline bool coulombRangeIsSafe(const ForceSettings& s, const Particle* state) {
    const double a = s.coulombSoftening;
    if (!zeroOrWithin(s.coulombStrength, -50, 50)) return false;
    if (!(a <= 0 || zeroOrWithin(a, -50, 50))) return false;
    for (int i = 0; i < s.particleCount; ++i) {
        const Particle& p = state[i];
        if (!zeroOrWithin(p.x, -250, 100) || !zeroOrWithin(p.y, -250, 100)) return false;
        if (!zeroOrWithin(p.charge, -50, 50)) return false;
        if (!(p.mass > 0 && zeroOrWithin(p.mass, -50, 50))) return false;
    }
    return true;
}

inline LaneSettings laneSettingsFrom(const Particle* state) {
    LaneSettings L;
    L.s = forceSettingsFromWorld();
    std::memcpy(L.externalSlots, L.s.externalSlots, sizeof L.externalSlots);
    L.coulomb = L.s.forcesEnabled;
    L.softening = L.s.coulombSoftening;
    L.softeningCubed = L.softening * L.softening * L.softening;
    L.folds = static_cast<BoundaryMode>(L.s.boundaryX) == BoundaryMode::PeriodicInteracting ||
              static_cast<BoundaryMode>(L.s.boundaryY) == BoundaryMode::PeriodicInteracting;
    setFold(L.s.boundaryX, L.s.windowWidth, L.halfWidth, L.width);
    setFold(L.s.boundaryY, L.s.windowHeight, L.halfHeight, L.height);
    L.slotCount = 0;
    for (int k = 0; k < PotentialSlotCount; ++k)
        if (kindActs(L.s.pairSlots[k].kind)) L.slots[L.slotCount++] = activePairSlot(L.s.pairSlots[k]);
    L.correctedQuotients = L.coulomb && L.slotCount == 0 && coulombRangeIsSafe(L.s, state);
    L.call = ++callsMade;
    return L;
}

// What one pair costs relative to a Coulomb term, for the thread count: a
// slot calls the C library once or twice per lane.
static_assert(sizeof(LaneSettings) <= MaxJobContext, "the thread pool copies the settings");

inline double pairWork(const LaneSettings& L) {
    const double n = L.s.particleCount;
    return n * n * (1 + 12 * L.slotCount);
}

// Computations of the same size take about the same time.
inline std::uint64_t sizeKey(const LaneSettings& L) {
    return static_cast<std::uint64_t>(L.s.particleCount) << 8 | static_cast<std::uint64_t>(L.slotCount) << 1 |
           (L.coulomb ? 1 : 0);
}

}  // namespace force_lanes

#endif  // PARTIVOX_FORCE_LANES_SHARED

HWY_BEFORE_NAMESPACE();
namespace force_lanes {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using D = hn::ScalableTag<double>;
using V = hn::Vec<D>;
using M = hn::Mask<D>;

constexpr size_t MaxLanes = HWY_MAX_BYTES / sizeof(double);

// Whether MulAdd and its kin round once. Highway computes them as a product
// and a sum on targets without the instruction, which the correction cannot use.
#if (HWY_ARCH_X86 && (HWY_TARGET == HWY_AVX2 || HWY_TARGET == HWY_AVX3 || HWY_TARGET == HWY_AVX3_DL)) || \
    HWY_ARCH_ARM_A64
constexpr bool FusedMultiplyAdd = HWY_TARGET != HWY_EMU128 && HWY_TARGET != HWY_SCALAR;
#else
constexpr bool FusedMultiplyAdd = false;
#endif

// ---- A block of particles ----

// Particles first .. first + Lanes - 1, one per lane, with what particle i
// brings to every pair term. Lanes past the last particle repeat it; their
// results are never stored.
// How the Coulomb term divides by m: t / 1 is t, and t / 2^k is t * 2^-k
// exactly, so only other masses need the corrected quotient.
enum class Masses { Unit, PowersOfTwo, Any };

struct LaneBlock {
    int first;
    HWY_ALIGN double x[MaxLanes], y[MaxLanes], vx[MaxLanes], vy[MaxLanes];
    HWY_ALIGN double charge[MaxLanes], mass[MaxLanes], dissipation[MaxLanes];
    HWY_ALIGN double strengthCharge[MaxLanes];    // coulombStrength * q
    HWY_ALIGN double reciprocalMass[MaxLanes];    // 1 / m, correctly rounded
    HWY_ALIGN double moving[MaxLanes];            // 1 where vx^2 + vy^2 != 0, else 0
    HWY_ALIGN double equilibrium[MaxLanes];       // f = 1 - terminalSpeed / |v| of a moving particle
    HWY_ALIGN double ax[MaxLanes], ay[MaxLanes];  // the sums, started with the one-body terms
    Masses masses;
};

inline bool isPowerOfTwo(double m) {
    std::uint64_t bits;
    std::memcpy(&bits, &m, sizeof bits);
    return (bits & 0xfffffffffffffULL) == 0 && (bits >> 52 & 0x7ff) != 0;
}

void loadBlock(LaneBlock& B, int first, const Particle* state, const LaneSettings& L) {
    const int n = L.s.particleCount;
    ForceSettings s = L.s;
    s.externalSlots = L.externalSlots;
    B.first = first;
    bool unit = true, powersOfTwo = true;
    for (size_t lane = 0; lane < hn::Lanes(D()); ++lane) {
        const int i = std::min(first + static_cast<int>(lane), n - 1);
        const Particle& p = state[i];
        B.x[lane] = p.x;
        B.y[lane] = p.y;
        B.vx[lane] = p.vx;
        B.vy[lane] = p.vy;
        B.charge[lane] = p.charge;
        B.mass[lane] = p.mass;
        B.dissipation[lane] = p.dissipation;
        B.strengthCharge[lane] = L.s.coulombStrength * p.charge;
        B.reciprocalMass[lane] = 1 / p.mass;
        unit = unit && p.mass == 1;
        powersOfTwo = powersOfTwo && isPowerOfTwo(p.mass);
        const bool moving = p.vx * p.vx + p.vy * p.vy != 0;
        B.moving[lane] = moving;
        B.equilibrium[lane] = moving ? 1 - L.s.terminalSpeed / std::sqrt(p.vx * p.vx + p.vy * p.vy) : 0;
        const ParticleRate oneBody = oneBodyRate(p, s);
        B.ax[lane] = oneBody.ax;
        B.ay[lane] = oneBody.ay;
    }
    B.masses = unit ? Masses::Unit : powersOfTwo ? Masses::PowersOfTwo : Masses::Any;
}

void storeBlock(const LaneBlock& B, const LaneSettings& L, ParticleRate* rates) {
    for (size_t lane = 0; lane < hn::Lanes(D()) && B.first + static_cast<int>(lane) < L.s.particleCount; ++lane)
        rates[B.first + lane] = {B.vx[lane], B.vy[lane], B.ax[lane], B.ay[lane]};
}

// ---- Quotients ----

// a / b correctly rounded from y = 1/b correctly rounded: q = a y is within
// an ulp, the remainder q b - a is exact, and q minus remainder times y,
// rounded once, is the correctly rounded quotient (Markstein's theorem), for
// b > 0 and every step clear of subnormals and overflow. A zero a keeps its
// sign: the remainder is +0 and q - (+0 y) is q.
HWY_INLINE V correctedQuotient(V a, V b, V y) {
    const V q = hn::Mul(a, y);
    const V negatedRemainder = hn::MulSub(q, b, a);
    return hn::NegMulAdd(negatedRemainder, y, q);
}

// The minimum-image fold of the reference on every lane: half = +inf leaves d alone.
HWY_INLINE V fold(V d, double half, double period) {
    const D df;
    d = hn::IfThenElse(hn::Ge(d, hn::Set(df, half)), hn::Sub(d, hn::Set(df, period)), d);
    return hn::IfThenElse(hn::Lt(d, hn::Set(df, -half)), hn::Add(d, hn::Set(df, period)), d);
}

// The separation (dx, dy) of particle j from every lane's particle, folded
// where an axis folds, and its length r.
template <bool Folds>
HWY_INLINE V separation(V x, V y, const Particle& o, const LaneSettings& L, V& dx, V& dy) {
    const D d;
    dx = hn::Sub(x, hn::Set(d, o.x));
    dy = hn::Sub(y, hn::Set(d, o.y));
    if (Folds) {
        dx = fold(dx, L.halfWidth, L.width);
        dy = fold(dy, L.halfHeight, L.height);
    }
    return hn::Sqrt(hn::Add(hn::Mul(dx, dx), hn::Mul(dy, dy)));
}

// Lanes whose particle is not j: j's own lane must add nothing, not even a zero.
HWY_INLINE M otherThan(int j, const LaneBlock& B) {
    const D d;
    return hn::Ne(hn::Iota(d, static_cast<double>(B.first)), hn::Set(d, static_cast<double>(j)));
}

// acc - t where `acts`, acc elsewhere.
HWY_INLINE V subtractWhere(M acts, V acc, V t) { return hn::IfThenElse(acts, hn::Sub(acc, t), acc); }

// ---- The Coulomb term ----

// GradX = -dx / r^3 (r >= a) or -dx / a^3, then ax -= GradX * (k q qj) / m.
// Here -dx / b * (k q qj) is computed as dx / b * (-(k q) qj): negation is
// exact, so the bits are the same. The quotients dx / b and dy / b are what a
// pair shares with its mirror; the rest belongs to one direction.
template <bool Corrected>
HWY_INLINE void coulombQuotients(const LaneSettings& L, V dx, V dy, V r, V& qx, V& qy) {
    const D d;
    const V r3 = hn::Mul(hn::Mul(r, r), r);
    const V b = hn::IfThenElse(hn::Ge(r, hn::Set(d, L.softening)), r3, hn::Set(d, L.softeningCubed));
    if (Corrected) {
        const V y = hn::Div(hn::Set(d, 1.0), b);
        qx = correctedQuotient(dx, b, y);
        qy = correctedQuotient(dy, b, y);
    } else {
        qx = hn::Div(dx, b);
        qy = hn::Div(dy, b);
    }
}

template <bool Corrected, Masses Kind>
HWY_INLINE void coulombForce(V qx, V qy, V negatedStrengthCharge, V mass, V reciprocalMass, double chargeJ, V& tx,
                             V& ty) {
    const D d;
    const V strength = hn::Mul(negatedStrengthCharge, hn::Set(d, chargeJ));
    const V px = hn::Mul(qx, strength);
    const V py = hn::Mul(qy, strength);
    if (Corrected && Kind == Masses::Unit) {
        tx = px;
        ty = py;
    } else if (Corrected && Kind == Masses::PowersOfTwo) {
        tx = hn::Mul(px, reciprocalMass);
        ty = hn::Mul(py, reciprocalMass);
    } else if (Corrected) {
        tx = correctedQuotient(px, mass, reciprocalMass);
        ty = correctedQuotient(py, mass, reciprocalMass);
    } else {
        tx = hn::Div(px, mass);
        ty = hn::Div(py, mass);
    }
}

template <bool Corrected, Masses Kind>
HWY_INLINE void coulombTerm(const LaneSettings& L, V dx, V dy, V r, V negatedStrengthCharge, V mass,
                            V reciprocalMass, double chargeJ, V& tx, V& ty) {
    V qx, qy;
    coulombQuotients<Corrected>(L, dx, dy, r, qx, qy);
    coulombForce<Corrected, Kind>(qx, qy, negatedStrengthCharge, mass, reciprocalMass, chargeJ, tx, ty);
}

// ---- Pair-slot shapes and kinds ----

// f applied to every lane of v: the C library's own function, one lane at a time.
template <class F>
HWY_INLINE V eachLane(V v, F f) {
    const D d;
    HWY_ALIGN double lanes[MaxLanes];
    hn::Store(v, d, lanes);
    for (size_t k = 0; k < hn::Lanes(d); ++k) lanes[k] = f(lanes[k]);
    return hn::Load(d, lanes);
}

// The catalogue's value U (`value`) or gradient (gx, gy) of one slot's shape,
// with the catalogue's operations in its order; x and y share every
// evaluation of the C library, which gives the same bits for the same argument.
HWY_NOINLINE void pairShape(const ActivePairSlot& k, V dx, V dy, V r, V& u, V& gx, V& gy) {
    const D d;
    const bool value = !k.usesGradient;
    const V A = hn::Set(d, k.a), Bv = hn::Set(d, k.b), C = hn::Set(d, k.c);
    const V bb = hn::Set(d, k.b * k.b);
    const V one = hn::Set(d, 1.0);
    u = gx = gy = hn::Zero(d);
    switch (k.shape) {
    case static_cast<int>(PairShape::ChargedSphere): {
        const M outside = hn::Ge(r, A);
        if (value) {
            const V r2 = hn::Add(hn::Mul(dx, dx), hn::Mul(dy, dy));
            const V inside = hn::Mul(hn::Sub(hn::Set(d, 3.0), hn::Div(r2, hn::Set(d, k.a * k.a))),
                                     hn::Set(d, 0.5 / k.a));
            u = hn::IfThenElse(outside, hn::Div(one, r), inside);
            return;
        }
        const V b = hn::IfThenElse(outside, hn::Mul(hn::Mul(r, r), r), hn::Set(d, k.a * k.a * k.a));
        gx = hn::Div(hn::Neg(dx), b);
        gy = hn::Div(hn::Neg(dy), b);
        return;
    }
    case static_cast<int>(PairShape::Power): {
        const V ratio = hn::Div(r, Bv);
        if (value) {
            u = eachLane(ratio, [&](double t) { return std::pow(t, k.a); });
            return;
        }
        const V p = eachLane(ratio, [&](double t) { return std::pow(t, k.a - 2); });
        gx = hn::Div(hn::Mul(hn::Mul(A, dx), p), bb);
        gy = hn::Div(hn::Mul(hn::Mul(A, dy), p), bb);
        return;
    }
    case static_cast<int>(PairShape::PowerExp): {
        const V ratio = hn::Div(r, Bv);
        const V p = eachLane(ratio, [&](double t) { return std::pow(t, k.a); });
        const V e = eachLane(hn::Div(hn::Neg(r), C), [](double t) { return std::exp(t); });
        if (value) {
            u = hn::Mul(p, e);
            return;
        }
        const V p2 = eachLane(ratio, [&](double t) { return std::pow(t, k.a - 2); });
        const V bracket = hn::Sub(hn::Div(hn::Mul(A, p2), bb), hn::Div(p, hn::Mul(r, C)));
        gx = hn::Mul(hn::Mul(e, dx), bracket);
        gy = hn::Mul(hn::Mul(e, dy), bracket);
        return;
    }
    case static_cast<int>(PairShape::Tanh): {
        const V t = hn::Div(hn::Sub(r, A), Bv);
        if (value) {
            u = hn::Sub(one, eachLane(t, [](double s) { return std::tanh(s); }));
            return;
        }
        const V ch = eachLane(t, [](double s) { return std::cosh(s); });
        const V denominator = hn::Mul(hn::Mul(r, Bv), hn::Mul(ch, ch));
        gx = hn::Div(hn::Neg(dx), denominator);
        gy = hn::Div(hn::Neg(dy), denominator);
        return;
    }
    case static_cast<int>(PairShape::Morse): {
        const V aMinusR = hn::Sub(A, r);
        const V e2 = eachLane(hn::Div(hn::Mul(hn::Set(d, 2.0), aMinusR), Bv), [](double s) { return std::exp(s); });
        const V e1 = eachLane(hn::Div(aMinusR, Bv), [](double s) { return std::exp(s); });
        if (value) {
            u = hn::Sub(e2, hn::Mul(hn::Set(d, 2.0), e1));
            return;
        }
        const V difference = hn::Sub(e2, e1);
        const V br = hn::Mul(Bv, r);
        gx = hn::Mul(difference, hn::Div(hn::Mul(hn::Set(d, -2.0), dx), br));
        gy = hn::Mul(difference, hn::Div(hn::Mul(hn::Set(d, -2.0), dy), br));
        return;
    }
    case static_cast<int>(PairShape::Gaussian): {
        const V rMinusA = hn::Sub(r, A);
        const V exponent = hn::Div(hn::Mul(hn::Mul(hn::Set(d, -0.5), rMinusA), rMinusA), bb);
        const V g = eachLane(exponent, [](double s) { return std::exp(s); });
        if (value) {
            u = g;
            return;
        }
        const V factor = hn::Mul(hn::Neg(g), rMinusA);
        const V denominator = hn::Mul(bb, r);
        gx = hn::Div(hn::Mul(factor, dx), denominator);
        gy = hn::Div(hn::Mul(factor, dy), denominator);
        return;
    }
    case static_cast<int>(PairShape::Lorentzian): {
        const V rMinusA = hn::Sub(r, A);
        const V l = hn::Add(one, hn::Div(hn::Mul(rMinusA, rMinusA), bb));
        if (value) {
            u = hn::Div(one, l);
            return;
        }
        const V denominator = hn::Mul(hn::Mul(r, bb), hn::Mul(l, l));
        gx = hn::Div(hn::Mul(hn::Mul(hn::Set(d, -2.0), dx), rMinusA), denominator);
        gy = hn::Div(hn::Mul(hn::Mul(hn::Set(d, -2.0), dy), rMinusA), denominator);
        return;
    }
    default:
        return;
    }
}

// One slot's term for particle j from its shape's value u or gradient (gx,
// gy), applied to the sums where both parts are finite, as the reference's add
// and subtract do.
HWY_INLINE void addKindTerm(const ActivePairSlot& k, const LaneBlock& B, const Particle& o, V dx, V dy, V u, V gx,
                            V gy, M others, V& ax, V& ay) {
    const D d;
    const V st = hn::Set(d, k.strength);
    const V q = hn::Load(d, B.charge), m = hn::Load(d, B.mass), D_ = hn::Load(d, B.dissipation);
    const V vx = hn::Load(d, B.vx), vy = hn::Load(d, B.vy);
    V tx, ty;
    M acts = others;
    bool adds = false;
    switch (k.kind) {
    case PotentialKind::ChargeProportional: {
        const V qj = hn::Set(d, o.charge);
        tx = hn::Div(hn::Mul(hn::Mul(hn::Mul(gx, st), q), qj), m);
        ty = hn::Div(hn::Mul(hn::Mul(hn::Mul(gy, st), q), qj), m);
        break;
    }
    case PotentialKind::MassProportional: {
        const V mj = hn::Set(d, o.mass);
        tx = hn::Mul(hn::Mul(gx, st), mj);
        ty = hn::Mul(hn::Mul(gy, st), mj);
        break;
    }
    case PotentialKind::EnergyDissipation: {
        const V f = hn::Load(d, B.equilibrium);
        const V su = hn::Mul(st, u);
        tx = hn::Mul(hn::Div(hn::Mul(hn::Mul(su, vx), f), m), D_);
        ty = hn::Mul(hn::Div(hn::Mul(hn::Mul(su, vy), f), m), D_);
        acts = hn::And(acts, hn::Ne(hn::Load(d, B.moving), hn::Zero(d)));
        break;
    }
    case PotentialKind::RelativeVelocityDissipation: {
        const V us = hn::Mul(u, st);
        tx = hn::Mul(hn::Div(hn::Mul(us, hn::Sub(vx, hn::Set(d, o.vx))), m), D_);
        ty = hn::Mul(hn::Div(hn::Mul(us, hn::Sub(vy, hn::Set(d, o.vy))), m), D_);
        break;
    }
    case PotentialKind::AngularMomentumDissipation: {
        // Only the part along the separation acts (see the reference).
        const V us = hn::Mul(u, st);
        const V Ax = hn::Neg(hn::Mul(hn::Div(hn::Mul(us, hn::Sub(vx, hn::Set(d, o.vx))), m), D_));
        const V Ay = hn::Neg(hn::Mul(hn::Div(hn::Mul(us, hn::Sub(vy, hn::Set(d, o.vy))), m), D_));
        const V along = hn::Add(hn::Mul(Ax, dx), hn::Mul(Ay, dy));
        const V d2 = hn::Add(hn::Mul(dx, dx), hn::Mul(dy, dy));
        tx = hn::Div(hn::Mul(along, dx), d2);
        ty = hn::Div(hn::Mul(along, dy), d2);
        adds = true;
        break;
    }
    default:
        return;
    }
    acts = hn::And(acts, hn::And(hn::IsFinite(tx), hn::IsFinite(ty)));
    ax = hn::IfThenElse(acts, adds ? hn::Add(ax, tx) : hn::Sub(ax, tx), ax);
    ay = hn::IfThenElse(acts, adds ? hn::Add(ay, ty) : hn::Sub(ay, ty), ay);
}

HWY_INLINE void addSlotTerm(const ActivePairSlot& k, const LaneBlock& B, const Particle& o, V dx, V dy, V r,
                            M others, V& ax, V& ay) {
    V u, gx, gy;
    pairShape(k, dx, dy, r, u, gx, gy);
    addKindTerm(k, B, o, dx, dy, u, gx, gy, others, ax, ay);
}

// ---- The pair loops ----

// Every term the reference has for j in [begin, end), dividing where it divides.
template <bool Folds>
void sumPairsInFull(LaneBlock& B, const Particle* state, const LaneSettings& L, int begin, int end) {
    const D d;
    const V x = hn::Load(d, B.x), y = hn::Load(d, B.y);
    const V mass = hn::Load(d, B.mass), reciprocalMass = hn::Load(d, B.reciprocalMass);
    const V negatedStrengthCharge = hn::Neg(hn::Load(d, B.strengthCharge));
    V ax = hn::Load(d, B.ax), ay = hn::Load(d, B.ay);
    for (int j = begin; j < end; ++j) {
        const Particle& o = state[j];
        V dx, dy;
        const V r = separation<Folds>(x, y, o, L, dx, dy);
        const M others = otherThan(j, B);
        if (L.coulomb) {
            V tx, ty;
            coulombTerm<false, Masses::Any>(L, dx, dy, r, negatedStrengthCharge, mass, reciprocalMass, o.charge, tx,
                                            ty);
            const M acts = hn::And(others, hn::And(hn::IsFinite(tx), hn::IsFinite(ty)));
            ax = subtractWhere(acts, ax, tx);
            ay = subtractWhere(acts, ay, ty);
        }
        for (int k = 0; k < L.slotCount; ++k) addSlotTerm(L.slots[k], B, o, dx, dy, r, others, ax, ay);
    }
    hn::Store(ax, d, B.ax);
    hn::Store(ay, d, B.ay);
}

// The Coulomb term alone, for j in [begin, end). Masked: the block's own
// particles are among them. Softened: with a > 0 and the safe range every
// term is finite, so no test is needed; without softening two coincident
// particles give 0/0, which is skipped.
template <bool Folds, bool Corrected, Masses Kind, bool Softened, bool Masked>
HWY_INLINE void coulombRun(const LaneBlock& B, const Particle* state, const LaneSettings& L, int begin, int end,
                           V& ax, V& ay) {
    const D d;
    const V x = hn::Load(d, B.x), y = hn::Load(d, B.y);
    const V mass = hn::Load(d, B.mass), reciprocalMass = hn::Load(d, B.reciprocalMass);
    const V negatedStrengthCharge = hn::Neg(hn::Load(d, B.strengthCharge));
    auto term = [&](int j, V& tx, V& ty) HWY_ATTR {
        const Particle& o = state[j];
        V dx, dy;
        const V r = separation<Folds>(x, y, o, L, dx, dy);
        coulombTerm<Corrected, Kind>(L, dx, dy, r, negatedStrengthCharge, mass, reciprocalMass, o.charge, tx, ty);
    };
    int j = begin;
    if (!Masked && Softened) {
        // Two partners per round give the processor independent work to
        // overlap; the sums still take them in order.
        for (; j + 1 < end; j += 2) {
            V tx0, ty0, tx1, ty1;
            term(j, tx0, ty0);
            term(j + 1, tx1, ty1);
            ax = hn::Sub(hn::Sub(ax, tx0), tx1);
            ay = hn::Sub(hn::Sub(ay, ty0), ty1);
        }
    }
    for (; j < end; ++j) {
        V tx, ty;
        term(j, tx, ty);
        const M finite = hn::And(hn::IsFinite(tx), hn::IsFinite(ty));
        const M acts = !Masked ? finite : Softened ? otherThan(j, B) : hn::And(otherThan(j, B), finite);
        ax = subtractWhere(acts, ax, tx);
        ay = subtractWhere(acts, ay, ty);
    }
}

// The Coulomb terms of j in [begin, end), the block's own particles masked.
template <bool Folds, bool Corrected, Masses Kind, bool Softened>
void sumCoulomb(LaneBlock& B, const Particle* state, const LaneSettings& L, int begin, int end) {
    const D d;
    const int own = std::min(L.s.particleCount, B.first + static_cast<int>(hn::Lanes(d)));
    V ax = hn::Load(d, B.ax), ay = hn::Load(d, B.ay);
    coulombRun<Folds, Corrected, Kind, Softened, false>(B, state, L, begin, std::min(end, B.first), ax, ay);
    coulombRun<Folds, Corrected, Kind, Softened, true>(B, state, L, std::max(begin, B.first), std::min(end, own), ax,
                                                       ay);
    coulombRun<Folds, Corrected, Kind, Softened, false>(B, state, L, std::max(begin, own), end, ax, ay);
    hn::Store(ax, d, B.ax);
    hn::Store(ay, d, B.ay);
}

template <bool Folds, Masses Kind>
void sumCorrectedCoulomb(LaneBlock& B, const Particle* state, const LaneSettings& L, int begin, int end) {
    if (L.softening > 0) return sumCoulomb<Folds, true, Kind, true>(B, state, L, begin, end);
    sumCoulomb<Folds, true, Kind, false>(B, state, L, begin, end);
}

template <bool Folds>
void sumCoulombChoosingQuotients(LaneBlock& B, const Particle* state, const LaneSettings& L, int begin, int end) {
    if (!FusedMultiplyAdd || !L.correctedQuotients)
        return sumCoulomb<Folds, false, Masses::Any, false>(B, state, L, begin, end);
    switch (B.masses) {
    case Masses::Unit: return sumCorrectedCoulomb<Folds, Masses::Unit>(B, state, L, begin, end);
    case Masses::PowersOfTwo: return sumCorrectedCoulomb<Folds, Masses::PowersOfTwo>(B, state, L, begin, end);
    default: return sumCorrectedCoulomb<Folds, Masses::Any>(B, state, L, begin, end);
    }
}

// Every pair term of j in [begin, end), each pair on its own.
void sumPairs(LaneBlock& B, const Particle* state, const LaneSettings& L, int begin, int end) {
    if (!L.coulomb && L.slotCount == 0) return;
    if (L.slotCount > 0)
        return L.folds ? sumPairsInFull<true>(B, state, L, begin, end) : sumPairsInFull<false>(B, state, L, begin, end);
    L.folds ? sumCoulombChoosingQuotients<true>(B, state, L, begin, end)
            : sumCoulombChoosingQuotients<false>(B, state, L, begin, end);
}

// ---- Every pair once: the wavefront ----

// For a pair and its mirror, dx and dy only change sign (IEEE subtraction is
// antisymmetric; a zero difference is +0 both ways), so r, the Coulomb
// quotients up to sign, and every slot's value and gradient up to sign are
// the same bits both ways round: each gradient is a product or quotient in
// which dx (or dy) is one factor and everything else depends on r. A tile of
// blocks {Q, R} computes them once for Q's lanes, applies them to Q's sums
// for R's particles in ascending order, then transposed to R's sums for Q's
// particles. A periodic fold can break the symmetry (a separation of exactly
// half the period folds to the same side both ways; with an odd period even
// the lengths differ), so the mirror checks |dx| and |dy| and computes a
// pair that differs in full.
//
// Every particle's terms must still come in ascending j. Block q's row takes
// tiles {q, r} for r = q + 1 .. last, after the terms from blocks below q,
// which the rows before it add to its sums, and its own block. So row q may
// do column r once row q - 1 has: the rows run as a wavefront, each a little
// behind the one before, the pool handing them out in order. The particles'
// lane data, started by row 0, and the running sums of the blocks not yet
// reached travel in the job's scratch.
//
// A row that waits too long for the row before it (a helper the system took
// off its core) gives the wavefront up for the whole computation: it and
// every row after it compute their block alone, by the loop above, which
// gives the same bits.

using Clock = std::chrono::steady_clock;

// Below this many blocks the pairs a wavefront shares do not pay for its
// bookkeeping (measured: 10 particles were 8 % slower through it).
constexpr int WavefrontFromBlocks = 4;

// Even a running thread loses the processor now and then: on the benchmark
// machine a thread spinning beside another lost 50 microseconds or more
// some 180 times a second, 100 or more some 40 times, and 500 or more 4
// times. A row waits out such hiccups of the row before it; only a longer
// wait means a thread taken off its core for a time slice.
constexpr int PatienceMicroseconds = 250;

// A row tells the rows after it how far it got every this many columns.
constexpr int PublishEvery = 8;

constexpr int PrefetchColumns = 4;

// Particle lane data, each field for all particles, so a block's lanes are
// one contiguous load.
constexpr double(LaneBlock::*laneFields[])[MaxLanes] = {
    &LaneBlock::x,      &LaneBlock::y,     &LaneBlock::vx,           &LaneBlock::vy,
    &LaneBlock::charge, &LaneBlock::mass,  &LaneBlock::dissipation,  &LaneBlock::strengthCharge,
    &LaneBlock::reciprocalMass, &LaneBlock::moving, &LaneBlock::equilibrium, &LaneBlock::ax, &LaneBlock::ay};
constexpr int LaneFieldCount = sizeof laneFields / sizeof laneFields[0];
constexpr int SumFields = 2;  // ax and ay, the last two

struct Wavefront {
    std::uint64_t abandoned;                // the call that gave the wavefront up
    std::uint64_t progress[MaxParticles];   // per row: call << 16 | columns done
    Masses masses[MaxParticles];
    HWY_ALIGN double field[LaneFieldCount][MaxParticles + MaxLanes];
};
static_assert(sizeof(Wavefront) <= JobScratchBytes, "the wavefront lives in the job's scratch");

void saveBlock(const LaneBlock& B, Wavefront& W, int block, int fromField) {
    const D d;
    for (int f = fromField; f < LaneFieldCount; ++f) hn::Store(hn::Load(d, B.*laneFields[f]), d, W.field[f] + B.first);
    W.masses[block] = B.masses;
}

void restoreBlock(LaneBlock& B, const Wavefront& W, int block) {
    const D d;
    B.first = block * static_cast<int>(hn::Lanes(d));
    for (int f = 0; f < LaneFieldCount; ++f) hn::Store(hn::Load(d, W.field[f] + B.first), d, B.*laneFields[f]);
    B.masses = W.masses[block];
}

std::uint64_t mark(std::uint64_t call, int columns) { return call << 16 | static_cast<std::uint64_t>(columns); }

// Waits until row `row` has finished column `column`; returns how many
// columns it has finished, or -1 when the wavefront is given up: by another
// row, or by this one after `patience`. Adds the time it waited to `waited`.
int awaitColumn(Wavefront& W, int row, int column, const LaneSettings& L, Clock::duration patience,
                Clock::duration& waited) {
    const std::uint64_t wanted = mark(L.call, column + 1);
    std::uint64_t seen = __atomic_load_n(&W.progress[row], __ATOMIC_ACQUIRE);
    if (seen >= wanted) return static_cast<int>(seen & 0xffff);
    const Clock::time_point begin = Clock::now();
    for (int k = 0;; ++k) {
        relax(k);
        // The clock first: a waiter the system took off its core looks once
        // more before it gives up.
        const Clock::duration waiting = Clock::now() - begin;
        seen = __atomic_load_n(&W.progress[row], __ATOMIC_ACQUIRE);
        if (seen >= wanted) {
            waited += waiting;
            return static_cast<int>(seen & 0xffff);
        }
        if (__atomic_load_n(&W.abandoned, __ATOMIC_RELAXED) == L.call) return -1;
        if (waiting >= patience) {
            __atomic_store_n(&W.abandoned, L.call, __ATOMIC_RELAXED);
            return -1;
        }
    }
}

// How long a row waits for the one before it to finish a column. The row
// before publishes every PublishEvery tiles, so while it runs it may keep its
// follower waiting that many tiles' time; a few times that, beyond its
// hiccups, is still little beside the time slice of a pre-empted one, after
// which the rows left are cheaper computed alone. A tile's time is what rows
// measured lately, or before the first measurement a guess: about a
// nanosecond per Coulomb pair, the slots' library calls a dozen each (pow
// takes several dozen).
Clock::duration columnPatience(const LaneSettings& L) {
    const long chosen = patienceNanoseconds.load(std::memory_order_relaxed);
    if (chosen >= 0) return std::chrono::nanoseconds(chosen);
    const double lanes = static_cast<double>(hn::Lanes(D()));
    const long measured = tileNanoseconds.load(std::memory_order_relaxed);
    const double tile = measured > 0 ? measured : lanes * lanes * (1 + 12 * L.slotCount);
    return std::chrono::microseconds(PatienceMicroseconds) +
           std::chrono::nanoseconds(static_cast<long>(4 * PublishEvery * tile));
}

// A row's time per tile, its waits left out, taken into tileNanoseconds.
void noteTileTime(Clock::duration working, int tiles) {
    if (tiles < PublishEvery) return;
    const long mine = static_cast<long>(std::chrono::nanoseconds(working).count() / tiles);
    const long old = tileNanoseconds.load(std::memory_order_relaxed);
    tileNanoseconds.store(lately(old, mine), std::memory_order_relaxed);
}

// The values a tile's pairs share, [R's particle][Q's lane] as computed,
// then transposed for R's lanes.
struct TileValues {
    HWY_ALIGN double qx[MaxLanes * MaxLanes], qy[MaxLanes * MaxLanes];
    HWY_ALIGN double u[PotentialSlotCount][MaxLanes * MaxLanes];
    HWY_ALIGN double gx[PotentialSlotCount][MaxLanes * MaxLanes];
    HWY_ALIGN double gy[PotentialSlotCount][MaxLanes * MaxLanes];
};

// Transposes a lanes x lanes matrix kept as rows. An unzip of the whole
// row-major array (its even elements, then its odd ones) rotates every
// element's index right by one bit; log2(lanes) of them turn (row, column)
// into (column, row). The lane count is fixed per instruction set, so the
// rows stay in registers.
HWY_INLINE void transpose(double* values) {
#if HWY_TARGET != HWY_SCALAR  // one lane: nothing to do, and no ConcatEven
    const D d;
    constexpr int lanes = static_cast<int>(hn::MaxLanes(D()));
    V rows[lanes];
    for (int k = 0; k < lanes; ++k) rows[k] = hn::Load(d, values + k * lanes);
    for (int width = 1; width < lanes; width *= 2) {
        V unzipped[lanes];
        for (int k = 0; k < lanes / 2; ++k) {
            unzipped[k] = hn::ConcatEven(d, rows[2 * k + 1], rows[2 * k]);
            unzipped[lanes / 2 + k] = hn::ConcatOdd(d, rows[2 * k + 1], rows[2 * k]);
        }
        for (int k = 0; k < lanes; ++k) rows[k] = unzipped[k];
    }
    for (int k = 0; k < lanes; ++k) hn::Store(rows[k], d, values + k * lanes);
#else
    (void)values;
#endif
}

HWY_INLINE void transposeTile(TileValues& T, const LaneSettings& L) {
    if (L.coulomb) {
        transpose(T.qx);
        transpose(T.qy);
    }
    for (int k = 0; k < L.slotCount; ++k) {
        if (L.slots[k].usesGradient) {
            transpose(T.gx[k]);
            transpose(T.gy[k]);
        } else {
            transpose(T.u[k]);
        }
    }
}

// What the Coulomb force of one block's lanes needs beside the quotients.
struct CoulombLanes {
    V negatedStrengthCharge, mass, reciprocalMass;
};

HWY_INLINE CoulombLanes coulombLanes(const LaneBlock& B) {
    const D d;
    return {hn::Neg(hn::Load(d, B.strengthCharge)), hn::Load(d, B.mass), hn::Load(d, B.reciprocalMass)};
}

// Checked false: every term is known to be finite (see sumCoulomb).
template <bool Checked>
HWY_INLINE void subtractFinite(V tx, V ty, V& ax, V& ay) {
    if (!Checked) {
        ax = hn::Sub(ax, tx);
        ay = hn::Sub(ay, ty);
        return;
    }
    const M acts = hn::And(hn::IsFinite(tx), hn::IsFinite(ty));
    ax = subtractWhere(acts, ax, tx);
    ay = subtractWhere(acts, ay, ty);
}

// Q's sums get R's first `realR` particles, in order; every shared value is
// kept in T, [R's particle][Q's lane].
template <bool Folds, bool Corrected, bool Checked, bool Slots, Masses Kind>
void sumTileForQ(LaneBlock& Q, const LaneBlock& R, int realR, const Particle* state, const LaneSettings& L,
                 TileValues& T) {
    const D d;
    const CoulombLanes C = coulombLanes(Q);
    const int lanes = static_cast<int>(hn::Lanes(d));
    const M all = hn::FirstN(d, hn::Lanes(d));
    const V x = hn::Load(d, Q.x), y = hn::Load(d, Q.y);
    V ax = hn::Load(d, Q.ax), ay = hn::Load(d, Q.ay);
    for (int jj = 0; jj < lanes; ++jj) {
        // Lanes past the last particle repeat it, so T is filled throughout.
        const Particle& o = state[R.first + std::min(jj, realR - 1)];
        const bool real = jj < realR;
        V dx, dy;
        const V r = separation<Folds>(x, y, o, L, dx, dy);
        if (L.coulomb) {
            V qx, qy;
            coulombQuotients<false>(L, dx, dy, r, qx, qy);
            hn::Store(qx, d, T.qx + jj * lanes);
            hn::Store(qy, d, T.qy + jj * lanes);
            if (real) {
                V tx, ty;
                coulombForce<Corrected, Kind>(qx, qy, C.negatedStrengthCharge, C.mass, C.reciprocalMass, o.charge,
                                              tx, ty);
                subtractFinite<Checked>(tx, ty, ax, ay);
            }
        }
        for (int k = 0; Slots && k < L.slotCount; ++k) {
            V u, gx, gy;
            pairShape(L.slots[k], dx, dy, r, u, gx, gy);
            hn::Store(u, d, T.u[k] + jj * lanes);
            hn::Store(gx, d, T.gx[k] + jj * lanes);
            hn::Store(gy, d, T.gy[k] + jj * lanes);
            if (real) addKindTerm(L.slots[k], Q, o, dx, dy, u, gx, gy, all, ax, ay);
        }
    }
    hn::Store(ax, d, Q.ax);
    hn::Store(ay, d, Q.ay);
}

HWY_INLINE V foldIf(bool folds, V d, double half, double period) { return folds ? fold(d, half, period) : d; }

// R's sums get Q's particles, in order, from the transposed T. A Coulomb
// quotient d / b (b >= 0) takes the sign of R's own d; a slot's gradient
// changes sign where Q's dx (dy) and R's differ in sign.
template <bool Folds, bool Corrected, bool Checked, bool Slots, Masses Kind>
void sumTileForR(const LaneBlock& Q, LaneBlock& R, const Particle* state, const LaneSettings& L,
                 const TileValues& T) {
    const D d;
    const CoulombLanes C = coulombLanes(R);
    const int lanes = static_cast<int>(hn::Lanes(d));
    const M all = hn::FirstN(d, hn::Lanes(d));
    const V x = hn::Load(d, R.x), y = hn::Load(d, R.y);
    const V signBit = hn::SignBit(d);
    V ax = hn::Load(d, R.ax), ay = hn::Load(d, R.ay);
    for (int ii = 0; ii < lanes; ++ii) {
        const int i = Q.first + ii;
        const Particle& o = state[i];
        const V xi = hn::Set(d, o.x), yi = hn::Set(d, o.y);
        const V dx = foldIf(Folds, hn::Sub(x, xi), L.halfWidth, L.width);
        const V dy = foldIf(Folds, hn::Sub(y, yi), L.halfHeight, L.height);
        V mirroredDx = dx, mirroredDy = dy;
        if (Folds || Slots) {
            mirroredDx = foldIf(Folds, hn::Sub(xi, x), L.halfWidth, L.width);
            mirroredDy = foldIf(Folds, hn::Sub(yi, y), L.halfHeight, L.height);
        }
        if (Folds && !hn::AllTrue(d, hn::And(hn::Eq(hn::Abs(dx), hn::Abs(mirroredDx)),
                                             hn::Eq(hn::Abs(dy), hn::Abs(mirroredDy))))) {
            hn::Store(ax, d, R.ax);
            hn::Store(ay, d, R.ay);
            sumPairsInFull<Folds>(R, state, L, i, i + 1);
            ax = hn::Load(d, R.ax);
            ay = hn::Load(d, R.ay);
            continue;
        }
        if (L.coulomb) {
            const V qx = hn::CopySign(hn::Load(d, T.qx + ii * lanes), dx);
            const V qy = hn::CopySign(hn::Load(d, T.qy + ii * lanes), dy);
            V tx, ty;
            coulombForce<Corrected, Kind>(qx, qy, C.negatedStrengthCharge, C.mass, C.reciprocalMass, o.charge, tx,
                                          ty);
            subtractFinite<Checked>(tx, ty, ax, ay);
        }
        if (!Slots) continue;
        const V flipX = hn::And(hn::Xor(dx, mirroredDx), signBit);
        const V flipY = hn::And(hn::Xor(dy, mirroredDy), signBit);
        for (int k = 0; k < L.slotCount; ++k) {
            const ActivePairSlot& slot = L.slots[k];
            // A shape outside the catalogue is +0 both ways round.
            const bool flips = slot.shape != ZeroShape;
            const V u = hn::Load(d, T.u[k] + ii * lanes);
            const V gx = hn::Load(d, T.gx[k] + ii * lanes), gy = hn::Load(d, T.gy[k] + ii * lanes);
            addKindTerm(slot, R, o, dx, dy, u, flips ? hn::Xor(gx, flipX) : gx, flips ? hn::Xor(gy, flipY) : gy, all,
                        ax, ay);
        }
    }
    hn::Store(ax, d, R.ax);
    hn::Store(ay, d, R.ay);
}

// Masses other than Any matter only to the corrected quotients.
template <template <bool, bool, bool, bool, Masses> class Side, bool Folds, bool Corrected, bool Checked, bool Slots,
          class... Args>
HWY_INLINE void forMasses(Masses kind, Args&&... args) {
    if (!Corrected || kind == Masses::Any) return Side<Folds, Corrected, Checked, Slots, Masses::Any>::run(args...);
    if (kind == Masses::Unit) return Side<Folds, Corrected, Checked, Slots, Masses::Unit>::run(args...);
    Side<Folds, Corrected, Checked, Slots, Masses::PowersOfTwo>::run(args...);
}

template <bool Folds, bool Corrected, bool Checked, bool Slots, Masses Kind>
struct QSide {
    static void run(LaneBlock& Q, const LaneBlock& R, int realR, const Particle* state, const LaneSettings& L,
                    TileValues& T) {
        sumTileForQ<Folds, Corrected, Checked, Slots, Kind>(Q, R, realR, state, L, T);
    }
};

template <bool Folds, bool Corrected, bool Checked, bool Slots, Masses Kind>
struct RSide {
    static void run(const LaneBlock& Q, LaneBlock& R, const Particle* state, const LaneSettings& L,
                    const TileValues& T) {
        sumTileForR<Folds, Corrected, Checked, Slots, Kind>(Q, R, state, L, T);
    }
};

// Slots: whether any pair slot acts; without, the sums stay in registers.
template <bool Folds, bool Corrected, bool Checked, bool Slots>
void sumTile(LaneBlock& Q, LaneBlock& R, int realR, const Particle* state, const LaneSettings& L) {
    TileValues T;
    forMasses<QSide, Folds, Corrected, Checked, Slots>(Q.masses, Q, R, realR, state, L, T);
    transposeTile(T, L);
    forMasses<RSide, Folds, Corrected, Checked, Slots>(R.masses, Q, R, state, L, T);
}

void computeAlone(int block, const Particle* state, const LaneSettings& L, ParticleRate* rates) {
    LaneBlock B;
    loadBlock(B, block * static_cast<int>(hn::Lanes(D())), state, L);
    sumPairs(B, state, L, 0, L.s.particleCount);
    storeBlock(B, L, rates);
}

// Block q's row: its own block, then tiles {q, r} for r ascending.
template <bool Folds, bool Corrected, bool Checked, bool Slots>
void computeRow(int q, const Particle* state, const LaneSettings& L, Wavefront& W, ParticleRate* rates) {
    const int n = L.s.particleCount;
    const int lanes = static_cast<int>(hn::Lanes(D()));
    const int blocks = (n + lanes - 1) / lanes;
    const Clock::duration patience = columnPatience(L);
    // Columns the row before is known to have finished: read again only when
    // needed, since it publishes only every few columns (a cache line that
    // two cores take turns writing and reading at every tile would set the
    // pace).
    int known = q > 0 ? 0 : blocks;
    // Rows on one thread never wait, and need no patience.
    const bool timed = L.threads > 1;
    const Clock::time_point start = timed ? Clock::now() : Clock::time_point{};
    Clock::duration waited{};
    auto waitFor = [&](int column) {
        if (known > column) return true;
        known = awaitColumn(W, q - 1, column, L, patience, waited);
        return known > column;
    };
    if (__atomic_load_n(&W.abandoned, __ATOMIC_RELAXED) == L.call || !waitFor(q))
        return computeAlone(q, state, L, rates);
    LaneBlock Q;
    if (q == 0)
        loadBlock(Q, 0, state, L);
    else
        restoreBlock(Q, W, q);
    sumPairs(Q, state, L, Q.first, std::min(n, Q.first + lanes));
    for (int r = q + 1; r < blocks; ++r) {
        if (!waitFor(r)) return computeAlone(q, state, L, rates);
        // The sums of a column come from the core that ran the row before:
        // ask for them a few tiles ahead, for writing.
        const int ahead = std::min(r + PrefetchColumns, blocks - 1) * lanes;
        for (int f = LaneFieldCount - SumFields; f < LaneFieldCount; ++f) __builtin_prefetch(W.field[f] + ahead, 1);
        LaneBlock R;
        if (q == 0)
            loadBlock(R, r * lanes, state, L);
        else
            restoreBlock(R, W, r);
        sumTile<Folds, Corrected, Checked, Slots>(Q, R, std::min(lanes, n - r * lanes), state, L);
        saveBlock(R, W, r, q == 0 ? 0 : LaneFieldCount - SumFields);
        if ((r + 1) % PublishEvery == 0 || r + 1 == blocks)
            __atomic_store_n(&W.progress[q], mark(L.call, r + 1), __ATOMIC_RELEASE);
    }
    storeBlock(Q, L, rates);
    if (timed) noteTileTime(Clock::now() - start - waited, blocks - q - 1);
}

template <bool Folds>
void computeRowChoosingQuotients(int q, const Particle* state, const LaneSettings& L, Wavefront& W,
                                 ParticleRate* rates) {
    if (L.slotCount > 0) return computeRow<Folds, false, true, true>(q, state, L, W, rates);
    if (!FusedMultiplyAdd || !L.correctedQuotients) return computeRow<Folds, false, true, false>(q, state, L, W, rates);
    if (L.softening > 0) return computeRow<Folds, true, false, false>(q, state, L, W, rates);
    computeRow<Folds, true, true, false>(q, state, L, W, rates);
}

// ---- The entry points ----

void computeBlock(int block, const Particle* state, const void* context, void* scratch, ParticleRate* rates) {
    const LaneSettings& L = *static_cast<const LaneSettings*>(context);
    if (scratch == nullptr || !L.wavefront) return computeAlone(block, state, L, rates);
    Wavefront& W = *static_cast<Wavefront*>(scratch);
    L.folds ? computeRowChoosingQuotients<true>(block, state, L, W, rates)
            : computeRowChoosingQuotients<false>(block, state, L, W, rates);
}

// Whether the wavefront pays, as measured (bench/README.md): not below four
// blocks, where its bookkeeping costs more than the pairs it shares; and for
// the Coulomb term alone only on one thread, since across cores the running
// sums of every column change cores at every tile, which costs more than the
// tile's work.
bool wavefrontPays(const LaneSettings& L, int blocks, int threads) {
    if (blocks < WavefrontFromBlocks || (!L.coulomb && L.slotCount == 0)) return false;
    return L.slotCount > 0 || threads == 1;
}

void ComputeRatesLanes(const Particle* state, ParticleRate* rates) {
    LaneSettings L = laneSettingsFrom(state);
    const int n = L.s.particleCount;
    if (n <= 0) return;
    const int lanes = static_cast<int>(hn::Lanes(D()));
    const int blocks = (n + lanes - 1) / lanes;
    int threads = threadsForWork(pairWork(L));
    const bool choosing = threads > 1 && wavefrontPays(L, blocks, 1);
    const Way way = choosing ? wayToRun(sizeKey(L)) : EveryThread;
    if (way == OneThread) threads = 1;
    L.wavefront = wavefrontPays(L, blocks, threads);
    L.threads = threads;
    // The clock only where it decides: a small world's whole computation
    // takes a few dozen of its readings.
    const Clock::time_point start = choosing ? Clock::now() : Clock::time_point{};
    forEachBlock(blocks, threads, n, state, &L, sizeof L, computeBlock, rates, lanes);
    if (choosing) noteWayTime(way, Clock::now() - start);
}

void LaneQuotients(const double* a, const double* b, double* quotients, int count) {
    const D d;
    const int lanes = static_cast<int>(hn::Lanes(d));
    for (int k = 0; k + lanes <= count; k += lanes) {
        const V va = hn::LoadU(d, a + k), vb = hn::LoadU(d, b + k);
        const V q = FusedMultiplyAdd ? correctedQuotient(va, vb, hn::Div(hn::Set(d, 1.0), vb)) : hn::Div(va, vb);
        hn::StoreU(q, d, quotients + k);
    }
    for (int k = count - count % lanes; k < count; ++k) quotients[k] = a[k] / b[k];
}

}  // namespace HWY_NAMESPACE
}  // namespace force_lanes
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace force_lanes {

HWY_EXPORT(ComputeRatesLanes);
HWY_EXPORT(LaneQuotients);

// Highway's targets that this build has and this processor runs, best first.
struct Targets {
    int count = 0;
    std::int64_t target[64];
};

Targets availableTargets() {
    Targets t;
    for (std::int64_t bits = hwy::SupportedTargets() & HWY_TARGETS; bits != 0 && t.count < 64; bits &= bits - 1)
        t.target[t.count++] = bits & -bits;
    return t;
}

const Targets& targets() {
    static const Targets all = availableTargets();
    return all;
}

}  // namespace force_lanes

void computeRates(const Particle* state, ParticleRate* rates) {
    HWY_DYNAMIC_DISPATCH(force_lanes::ComputeRatesLanes)(state, rates);
}

int forceKernelCount() { return force_lanes::targets().count; }

const char* forceKernelName(int kernel) { return hwy::TargetName(force_lanes::targets().target[kernel]); }

void useForceKernel(int kernel) {
    const force_lanes::Targets& t = force_lanes::targets();
    hwy::SetSupportedTargetsForTest(kernel < 0 ? 0 : t.target[kernel]);
    hwy::GetChosenTarget().Update(hwy::SupportedTargets());
}

const char* selectedForceKernelName() {
    const std::int64_t chosen = hwy::SupportedTargets() & HWY_TARGETS;
    return hwy::TargetName(chosen & -chosen);
}

void laneQuotients(const double* a, const double* b, double* quotients, int count) {
    HWY_DYNAMIC_DISPATCH(force_lanes::LaneQuotients)(a, b, quotients, count);
}

void setWavefrontPatience(long nanoseconds) {
    force_lanes::patienceNanoseconds.store(nanoseconds);
    force_lanes::wayTimes = force_lanes::WayTimes{};
}

#endif  // HWY_ONCE
