// The force computation with one particle i per vector lane.
//
// Compiled once per instruction set (see sim/CMakeLists.txt); the width and
// the entry point's name follow from the target. Per particle it computes
// what the reference loop computes, in the same order: the one-body terms
// first (by the reference's own code), then for j = 0 .. N-1 ascending the
// Coulomb term and the pair slots 0 .. 9. What differs is only how a term is
// evaluated: the Coulomb factor 1/r^3 comes from an estimate refined with
// fused multiply-adds instead of a square root and divisions, and the factors
// that do not depend on j are multiplied in once per particle. Each term stays
// within a few units in the last place of the reference's.
//
// Contents: settings hoisted per call; a block of particles in lanes; the
// Coulomb term; the pair-slot shapes and kinds; the pair loop; the entry point.

#include "force_kernels.h"
#include "lane_math.h"
#include "potentials.h"   // only its enumeration: the kernel calls none of its inline functions

#if defined(__AVX512F__)
#define COMPUTE_RATES_LANES computeRatesAvx512
#elif defined(__AVX2__) && defined(__FMA__)
#define COMPUTE_RATES_LANES computeRatesAvx2
#else
#define COMPUTE_RATES_LANES computeRatesSse2
#endif

namespace {

// ---- Settings hoisted per call ----

// A pair slot that acts, with what every pair needs of it.
struct ActivePairSlot {
    PotentialKind kind;
    PairShape shape;
    bool usesGradient;   // the force kinds; the dissipative kinds use the value
    double strength, a, b, c;
    double bSquared;
};

struct PairSettings {
    bool coulomb;
    double softeningSquared;        // r^2 below which the Coulomb force is linear; -1 if never
    bool folds;                     // some axis is PeriodicInteracting
    double halfWidth, width;        // an axis that does not fold has an infinite half
    double halfHeight, height;
    int slotCount;
    ActivePairSlot slots[PotentialSlotCount];
};

bool slotActs(const PotentialSlot& k) {
    const bool knownKind = k.kind >= static_cast<int>(PotentialKind::ChargeProportional) &&
                           k.kind <= static_cast<int>(PotentialKind::AngularMomentumDissipation);
    // A shape outside the catalogue is 0 everywhere, which moves nothing.
    return knownKind && k.shape >= 0 && k.shape < PairShapeCount;
}

ActivePairSlot activePairSlot(const PotentialSlot& k) {
    const auto kind = static_cast<PotentialKind>(k.kind);
    const bool force = kind == PotentialKind::ChargeProportional || kind == PotentialKind::MassProportional;
    return {kind, static_cast<PairShape>(k.shape), force, k.strength, k.a, k.b, k.c, k.b * k.b};
}

void setFold(bool folds, int period, double& half, double& length) {
    half = folds ? period / 2 : __builtin_inf();
    length = folds ? period : 0;
}

PairSettings pairSettingsFrom(const ForceSettings& s) {
    PairSettings p;
    // A zero Coulomb constant makes every Coulomb term zero: skip them all.
    p.coulomb = s.forcesEnabled && s.coulombStrength != 0;
    const double a = s.coulombSoftening;
    p.softeningSquared = a > 0 ? a * a : -1;
    const bool foldX = static_cast<BoundaryMode>(s.boundaryX) == BoundaryMode::PeriodicInteracting;
    const bool foldY = static_cast<BoundaryMode>(s.boundaryY) == BoundaryMode::PeriodicInteracting;
    p.folds = foldX || foldY;
    setFold(foldX, s.windowWidth, p.halfWidth, p.width);
    setFold(foldY, s.windowHeight, p.halfHeight, p.height);
    p.slotCount = 0;
    for (int k = 0; k < PotentialSlotCount; ++k)
        if (slotActs(s.pairSlots[k])) p.slots[p.slotCount++] = activePairSlot(s.pairSlots[k]);
    return p;
}

// ---- A block of particles in lanes ----

// Particles first .. first + Lanes - 1, one per lane, with the factors of the
// pair terms that depend on particle i alone. Lanes past the last particle
// repeat it, so they compute finite numbers that nobody reads.
struct LaneBlock {
    int first;
    Row x, y, vx, vy;
    Row coulombFactor;          // coulombStrength * q / m
    Row chargeOverMass;         // q / m
    Row dissipationOverMass;    // D / m
    Row dampX, dampY;           // v * f / m * D of a moving particle, 0 at rest
    Row ax, ay;                 // running sums, started with the one-body terms
};

void loadLane(LaneBlock& B, int lane, const Particle& p, const ForceSettings& s) {
    const double q = p.charge, m = p.mass, D = p.dissipation;
    B.x[lane] = p.x;
    B.y[lane] = p.y;
    B.vx[lane] = p.vx;
    B.vy[lane] = p.vy;
    B.coulombFactor[lane] = s.coulombStrength * q / m;
    B.chargeOverMass[lane] = q / m;
    B.dissipationOverMass[lane] = D / m;
    const double speedSquared = p.vx * p.vx + p.vy * p.vy;
    const double f = speedSquared != 0 ? 1 - s.terminalSpeed / __builtin_sqrt(speedSquared) : 0;
    B.dampX[lane] = p.vx * f / m * D;
    B.dampY[lane] = p.vy * f / m * D;
    const ParticleRate oneBody = oneBodyRate(p, s);
    B.ax[lane] = oneBody.ax;
    B.ay[lane] = oneBody.ay;
}

LaneBlock loadBlock(const Particle* state, int first, int n, const ForceSettings& s) {
    LaneBlock B;
    B.first = first;
    for (int lane = 0; lane < Lanes; ++lane)
        loadLane(B, lane, state[first + lane < n ? first + lane : n - 1], s);
    return B;
}

void storeBlock(const LaneBlock& B, int n, ParticleRate* rates) {
    for (int lane = 0; lane < Lanes && B.first + lane < n; ++lane)
        rates[B.first + lane] = {B.vx[lane], B.vy[lane], B.ax[lane], B.ay[lane]};
}

// ---- The Coulomb term ----

// a -= GradX * (k q qj) / m with GradX = -dx / r^3 (or -dx / a^3 inside the
// softening distance a), regrouped as a += dx * (1/r^3) * qj * (k q / m). A
// non-finite factor skips the term; with |dx|, |dy| <= r the products with a
// finite factor cannot overflow.
inline void addCoulomb(const LaneBlock& B, const PairSettings& s, double chargeJ, Row dx, Row dy,
                       Row& ax, Row& ay) {
    const Row r2 = fused(dx, dx, dy * dy);
    // Inside the softening distance 1/a^3 = (a^2)^(-3/2): the same formula.
    // A NaN distance stays NaN and skips the term.
    const Row inverseCubed = inverseRootCubed(maximum(splat(s.softeningSquared), r2));
    const Row g = inverseCubed * (chargeJ * B.coulombFactor);
    const RowBits acts = isFinite(g);
    ax = select(acts, fused(dx, g, ax), ax);
    ay = select(acts, fused(dy, g, ay), ay);
}

// ---- Pair-slot shapes and kinds ----

// The potential U, or its gradient (gradX, gradY), of one slot at every lane.
struct ShapeAt {
    Row value, gradX, gradY;
};

// Every pair gradient is dU/dr / r times the separation.
inline ShapeAt radial(Row dUdrOverR, Row dx, Row dy) { return {Row{}, dUdrOverR * dx, dUdrOverR * dy}; }

inline ShapeAt valueOnly(Row value) { return {value, Row{}, Row{}}; }

// The shapes that need pow go lane by lane through the catalogue, out of the
// loop's way.
[[gnu::noinline]] ShapeAt laneByLane(const ActivePairSlot& k, Row dx, Row dy, Row r) {
    ShapeAt u = {};
    const int shape = static_cast<int>(k.shape);
    for (int lane = 0; lane < Lanes; ++lane) {
        auto at = [&](PotentialQuery q) {
            return pairPotentialAnyProcessor(dx[lane], dy[lane], k.a, k.b, k.c, r[lane], static_cast<int>(q),
                                             shape);
        };
        if (k.usesGradient) {
            u.gradX[lane] = at(PotentialQuery::GradX);
            u.gradY[lane] = at(PotentialQuery::GradY);
        } else {
            u.value[lane] = at(PotentialQuery::Value);
        }
    }
    return u;
}

// The other shapes with the catalogue's own operations up to the exponential
// or the tanh, so that their arguments are exactly the reference's: an
// exponential magnifies any difference in its argument.
[[gnu::always_inline]] inline ShapeAt shapeAt(const ActivePairSlot& k, Row dx, Row dy, Row r, Row r2) {
    switch (k.shape) {
    case PairShape::ChargedSphere: {
        const RowBits outside = r >= k.a;
        if (!k.usesGradient)
            return valueOnly(select(outside, 1 / r, (3 - r2 / (k.a * k.a)) * (0.5 / k.a)));
        return radial(select(outside, -1 / (r * r * r), splat(-1 / (k.a * k.a * k.a))), dx, dy);
    }
    case PairShape::Morse: {
        // 2 (a - r) / b is exactly twice (a - r) / b: doubling is exact.
        const Row t = (k.a - r) / k.b;
        const Row e1 = exponential(t);
        const Row e2 = exponential(t + t);
        if (!k.usesGradient) return valueOnly(e2 - 2 * e1);
        return radial((e2 - e1) * (-2 / (k.b * r)), dx, dy);
    }
    case PairShape::Gaussian: {
        const Row u = r - k.a;
        const Row g = exponential(-0.5 * u * u / k.bSquared);
        if (!k.usesGradient) return valueOnly(g);
        return radial(-g * u / (k.bSquared * r), dx, dy);
    }
    case PairShape::Tanh: {
        // With E = e^(2|t|): tanh|t| = 1 - 2 / (E + 1), and
        // cosh^2 t = (E + 2 + 1/E) / 4, a sum of positive parts.
        const Row t = (r - k.a) / k.b;
        const Row E = exponential(2 * maximum(t, -t));
        if (!k.usesGradient) {
            const Row tanhAbs = 1 - 2 / (E + 1);
            return valueOnly(1 - select(t < 0, -tanhAbs, tanhAbs));
        }
        const Row coshSquared = (E + 2 + 1 / E) * 0.25;
        return radial(-1 / (r * k.b * coshSquared), dx, dy);
    }
    case PairShape::Lorentzian: {
        const Row u = r - k.a;
        const Row l = 1 + u * u / k.bSquared;
        if (!k.usesGradient) return valueOnly(1 / l);
        return radial(-2 * u / (r * k.bSquared * (l * l)), dx, dy);
    }
    default:
        return laneByLane(k, dx, dy, r);
    }
}

// What the slot's kind subtracts from the acceleration.
struct Term {
    Row x, y;
};

[[gnu::always_inline]] inline Term kindTerm(const ActivePairSlot& k, const LaneBlock& B, const Particle& o,
                                            Row dx, Row dy, Row r2, const ShapeAt& u) {
    switch (k.kind) {
    case PotentialKind::ChargeProportional: {
        const Row factor = (k.strength * o.charge) * B.chargeOverMass;
        return {u.gradX * factor, u.gradY * factor};
    }
    case PotentialKind::MassProportional:
        return {u.gradX * k.strength * o.mass, u.gradY * k.strength * o.mass};
    case PotentialKind::EnergyDissipation: {
        const Row us = u.value * k.strength;
        return {us * B.dampX, us * B.dampY};
    }
    case PotentialKind::RelativeVelocityDissipation: {
        const Row us = u.value * k.strength;
        return {us * (B.vx - o.vx) * B.dissipationOverMass, us * (B.vy - o.vy) * B.dissipationOverMass};
    }
    case PotentialKind::AngularMomentumDissipation: {
        // Only the part along the separation acts (see the reference).
        const Row us = u.value * k.strength;
        const Row Ax = -(us * (B.vx - o.vx) * B.dissipationOverMass);
        const Row Ay = -(us * (B.vy - o.vy) * B.dissipationOverMass);
        const Row along = Ax * dx + Ay * dy;
        return {-(along * dx / r2), -(along * dy / r2)};
    }
    default:
        return {Row{}, Row{}};
    }
}

// `others` masks out the lane whose particle is j itself: a dissipative kind
// would otherwise add the value of U at r = 0. Always inlined: passed by
// reference to a call, the running sums would go through memory on every slot.
[[gnu::always_inline]] inline void addPairSlots(const LaneBlock& B, const PairSettings& s, const Particle& o,
                                                Row dx, Row dy, RowBits others, Row& ax, Row& ay) {
    // Not fused: the shapes must see the reference's r to the last bit.
    const Row r2 = dx * dx + dy * dy;
    const Row r = squareRoot(r2);
    for (int k = 0; k < s.slotCount; ++k) {
        const ActivePairSlot& slot = s.slots[k];
        const Term t = kindTerm(slot, B, o, dx, dy, r2, shapeAt(slot, dx, dy, r, r2));
        const RowBits acts = others & isFinite(t.x) & isFinite(t.y);
        ax = select(acts, ax - t.x, ax);
        ay = select(acts, ay - t.y, ay);
    }
}

// ---- The pair loop ----

// The minimum-image fold of the reference, on every lane.
inline Row fold(Row d, double half, double period) {
    d = select(d >= half, d - period, d);
    return select(d < -half, d + period, d);
}

RowBits laneNumbers() {
    RowBits n = {};
    for (int lane = 0; lane < Lanes; ++lane) n[lane] = lane;
    return n;
}

// Instantiated for the four combinations, so that the common cases carry no
// test of a switched-off term inside the loop.
template <bool Coulomb, bool Folds>
void sumPairs(LaneBlock& B, const Particle* state, int n, const PairSettings& s) {
    const RowBits lane = laneNumbers();
    Row ax = B.ax, ay = B.ay;
    for (int j = 0; j < n; ++j) {
        const Particle& o = state[j];
        Row dx = B.x - o.x;
        Row dy = B.y - o.y;
        if (Folds) {
            dx = fold(dx, s.halfWidth, s.width);
            dy = fold(dy, s.halfHeight, s.height);
        }
        if (Coulomb) addCoulomb(B, s, o.charge, dx, dy, ax, ay);
        if (s.slotCount > 0)
            addPairSlots(B, s, o, dx, dy, lane != static_cast<std::int64_t>(j - B.first), ax, ay);
    }
    B.ax = ax;
    B.ay = ay;
}

void sumPairs(LaneBlock& B, const Particle* state, int n, const PairSettings& s) {
    if (!s.coulomb && s.slotCount == 0) return;
    if (s.coulomb && s.folds) return sumPairs<true, true>(B, state, n, s);
    if (s.coulomb) return sumPairs<true, false>(B, state, n, s);
    if (s.folds) return sumPairs<false, true>(B, state, n, s);
    sumPairs<false, false>(B, state, n, s);
}

}  // namespace

// ---- The entry point ----

// Blocks of Lanes particles go to the threads in the static schedule's
// contiguous runs; each thread writes only its own particles' rates.
void COMPUTE_RATES_LANES(const Particle* state, ParticleRate* rates) {
    const ForceSettings s = forceSettingsFromWorld();
    const int n = s.particleCount;
    if (n <= 0) return;
    const PairSettings pairs = pairSettingsFrom(s);
    const int blocks = (n + Lanes - 1) / Lanes;
    #pragma omp parallel for schedule(static)
    for (int b = 0; b < blocks; ++b) {
        LaneBlock B = loadBlock(state, b * Lanes, n, s);
        sumPairs(B, state, n, pairs);
        storeBlock(B, n, rates);
    }
}
