#include "conserved_quantities.h"

#include <cmath>

#include "boundaries.h"
#include "potentials.h"
#include "world_state.h"

namespace Conserved {
const char* const names[Count] = {
    "momentumX",         "momentumY",         "angularMomentum",     "magneticMomentumX",
    "magneticMomentumY", "magneticAngularMomentum", "totalMomentumX", "totalMomentumY",
    "totalAngularMomentum", "kineticEnergy",  "coulombEnergy",       "electricEnergy",
    "gravityEnergy",     "otherExternalEnergy", "otherPairEnergy",   "totalEnergy",
};
}  // namespace Conserved

using namespace Conserved;

static const int valueQuery = static_cast<int>(PotentialQuery::Value);

// Each term is a double added to an entry of type Sum. The panel's entries
// are floats, which round after every addition: the user sees the
// single-precision sums.
template <typename Sum>
static void addSingleParticleTerms(Sum* e, const Particle& p, double B) {
    const double x = p.x, y = p.y, vx = p.vx, vy = p.vy, m = p.mass, q = p.charge;
    e[momentumX] += m * vx;
    e[momentumY] += m * vy;
    e[angularMomentum] += x * vy * m - vx * y * m;
    e[magneticMomentumX] -= B * y * q;
    e[magneticMomentumY] += B * x * q;
    e[magneticAngularMomentum] += (x * x + y * y) * (0.5 * B) * q;
    e[kineticEnergy] += (vx * vx + vy * vy) * 0.5 * m;
}

// Only the conservative kinds have an energy; the dissipative ones add nothing.
static double pairSlotEnergy(const PotentialSlot& k, const Particle& pi, const Particle& pj, double dx,
                             double dy, double r) {
    switch (static_cast<PotentialKind>(k.kind)) {
    case PotentialKind::ChargeProportional:
        return pairPotential(dx, dy, k.a, k.b, k.c, r, valueQuery, k.shape) * k.strength * pi.charge * pj.charge;
    case PotentialKind::MassProportional:
        return pairPotential(dx, dy, k.a, k.b, k.c, r, valueQuery, k.shape) * k.strength * pi.mass * pj.mass;
    default:
        return 0;
    }
}

static double externalSlotEnergy(const PotentialSlot& k, const Particle& p) {
    switch (static_cast<PotentialKind>(k.kind)) {
    case PotentialKind::ChargeProportional:
        return externalPotential(p.x, p.y, k.a, k.b, valueQuery, k.shape) * k.strength * p.charge;
    case PotentialKind::MassProportional:
        return externalPotential(p.x, p.y, k.a, k.b, valueQuery, k.shape) * k.strength * p.mass;
    default:
        return 0;
    }
}

template <typename Sum>
static void addPairTerms(Sum* e, const WorldState& w, const Particle& pi, const Particle& pj) {
    const auto [dx, dy] = pairSeparation(pi, pj, w.boundaryX, w.boundaryY, w.windowWidth, w.windowHeight);
    const double r = std::sqrt(dx * dx + dy * dy);
    if (w.forcesEnabled == 1) {
        const double U = pairPotential(dx, dy, w.coulombSoftening, 0, 0, r, valueQuery,
                                       static_cast<int>(PairShape::ChargedSphere));
        e[coulombEnergy] += U * w.coulombStrength * pi.charge * pj.charge;
    }
    for (const PotentialSlot& k : w.pairSlots) e[otherPairEnergy] += pairSlotEnergy(k, pi, pj, dx, dy, r);
}

// The soft walls' energy per unit mass: a step of height S at distance P
// inside each edge of an axis of length L.
template <typename Sum>
static void addSoftWallAxis(Sum* e, const WorldState& w, const Particle& p, int shape, double L) {
    const double S = w.wallStrength, soft = w.wallSoftness, P = w.wallPosition;
    e[otherExternalEnergy] += 0.5 * S * (1 - externalPotential(p.x, p.y, P, soft, valueQuery, shape)) * p.mass;
    e[otherExternalEnergy] += (externalPotential(p.x, p.y, L - P, soft, valueQuery, shape) + 1) * 0.5 * S * p.mass;
}

template <typename Sum>
static void addExternalTerms(Sum* e, const WorldState& w, const Particle& p) {
    const int uniform = static_cast<int>(ExternalShape::UniformField);
    if (w.forcesEnabled == 1) {
        e[electricEnergy] += externalPotential(p.x, p.y, w.electricX, w.electricY, valueQuery, uniform) * p.charge;
        e[gravityEnergy] += externalPotential(p.x, p.y, w.gravityX, w.gravityY, valueQuery, uniform) * p.mass;
    }
    if (static_cast<BoundaryMode>(w.boundaryX) == BoundaryMode::WallPrecise)
        addSoftWallAxis(e, w, p, static_cast<int>(ExternalShape::TanhX), w.windowWidth);
    if (static_cast<BoundaryMode>(w.boundaryY) == BoundaryMode::WallPrecise)
        addSoftWallAxis(e, w, p, static_cast<int>(ExternalShape::TanhY), w.windowHeight);
    for (const PotentialSlot& k : w.externalSlots) e[otherExternalEnergy] += externalSlotEnergy(k, p);
}

template <typename Sum>
static void computeSums(Sum* e) {
    const WorldState& w = world;
    for (int k = 0; k < Count; ++k) e[k] = 0;
    const double B = w.magneticField;
    for (int i = 0; i < w.particleCount; ++i) {
        addSingleParticleTerms(e, w.particles[i], B);
        for (int j = i + 1; j < w.particleCount; ++j) addPairTerms(e, w, w.particles[i], w.particles[j]);
        addExternalTerms(e, w, w.particles[i]);
    }
    e[totalMomentumX] = e[magneticMomentumX] + e[momentumX];
    e[totalMomentumY] = e[magneticMomentumY] + e[momentumY];
    e[totalAngularMomentum] = e[magneticAngularMomentum] + e[angularMomentum];
    e[totalEnergy] = static_cast<Sum>(((((static_cast<double>(e[coulombEnergy]) + e[kineticEnergy]) + e[electricEnergy]) +
                                          e[gravityEnergy]) + e[otherExternalEnergy]) + e[otherPairEnergy]);
}

void computeConservedQuantitiesInto(float* e) { computeSums(e); }

void computeConservedQuantitiesInDouble(double* e) { computeSums(e); }

void computeConservedQuantities() { computeConservedQuantitiesInto(world.conservedValues); }
