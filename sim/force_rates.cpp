#include "sim/force_rates.h"

#include <cmath>

#include "sim/boundaries.h"
#include "sim/potentials.h"

static constexpr int value = static_cast<int>(PotentialQuery::Value);
static constexpr int gradX = static_cast<int>(PotentialQuery::GradX);
static constexpr int gradY = static_cast<int>(PotentialQuery::GradY);

ForceSettings forceSettingsFromWorld() {
    const WorldState& w = world;
    ForceSettings s;
    s.particleCount = w.particleCount;
    s.magneticField = w.magneticField;
    s.dragCoefficient = w.dragCoefficient;
    s.terminalSpeed = w.terminalSpeed;
    s.forcesEnabled = w.forcesEnabled == 1;
    s.electricX = w.electricX;
    s.electricY = w.electricY;
    s.gravityX = w.gravityX;
    s.gravityY = w.gravityY;
    s.coulombStrength = w.coulombStrength;
    s.coulombSoftening = w.coulombSoftening;
    s.boundaryX = w.boundaryX;
    s.boundaryY = w.boundaryY;
    s.wallStrength = w.wallStrength;
    s.wallSoftness = w.wallSoftness;
    s.wallPosition = w.wallPosition;
    s.windowWidth = w.windowWidth;
    s.windowHeight = w.windowHeight;
    s.externalSlots = w.externalSlots;
    s.pairSlots = w.pairSlots;
    return s;
}

// Every finite total is bit-identical to the plain sum, because a finite
// total implies every term was finite; skipping only changes what would have
// been NaN or infinite anyway.
static void add(Acceleration& acc, double tx, double ty) {
    if (!std::isfinite(tx) || !std::isfinite(ty)) return;
    acc.x += tx;
    acc.y += ty;
}

static void subtract(Acceleration& acc, double tx, double ty) {
    if (!std::isfinite(tx) || !std::isfinite(ty)) return;
    acc.x -= tx;
    acc.y -= ty;
}

// Terms that act along one axis only leave the other component untouched,
// down to the sign of a zero.
static void addComponent(double& a, double t) {
    if (std::isfinite(t)) a += t;
}

static void subtractComponent(double& a, double t) {
    if (std::isfinite(t)) a -= t;
}

// Drag and the energy-dissipating kinds push the speed towards terminalSpeed;
// a particle at rest is left alone (its direction is undefined).
static bool isMoving(const Particle& p) { return p.vx * p.vx + p.vy * p.vy != 0; }

static double equilibriumFactor(const Particle& p, const ForceSettings& s) {
    return 1 - s.terminalSpeed / std::sqrt(p.vx * p.vx + p.vy * p.vy);
}

static void addSoftWalls(Acceleration& acc, const Particle& p, const ForceSettings& s) {
    const double halfS = 0.5 * s.wallStrength;
    const double w = s.wallSoftness;
    const double P = s.wallPosition;
    if (static_cast<BoundaryMode>(s.boundaryX) == BoundaryMode::WallPrecise) {
        const int shape = static_cast<int>(ExternalShape::TanhX);
        addComponent(acc.x, halfS * externalPotential(p.x, p.y, P, w, gradX, shape));
        subtractComponent(acc.x, halfS * externalPotential(p.x, p.y, s.windowWidth - P, w, gradX, shape));
    }
    if (static_cast<BoundaryMode>(s.boundaryY) == BoundaryMode::WallPrecise) {
        const int shape = static_cast<int>(ExternalShape::TanhY);
        addComponent(acc.y, halfS * externalPotential(p.x, p.y, P, w, gradY, shape));
        subtractComponent(acc.y, halfS * externalPotential(p.x, p.y, s.windowHeight - P, w, gradY, shape));
    }
}

static void addExternalSlot(Acceleration& acc, const Particle& p, const PotentialSlot& k,
                            const ForceSettings& s) {
    const double q = p.charge, m = p.mass, D = p.dissipation;
    switch (static_cast<PotentialKind>(k.kind)) {
    case PotentialKind::ChargeProportional:
        subtract(acc, externalPotential(p.x, p.y, k.a, k.b, gradX, k.shape) * k.strength * q / m,
                 externalPotential(p.x, p.y, k.a, k.b, gradY, k.shape) * k.strength * q / m);
        break;
    case PotentialKind::MassProportional:
        subtract(acc, externalPotential(p.x, p.y, k.a, k.b, gradX, k.shape) * k.strength,
                 externalPotential(p.x, p.y, k.a, k.b, gradY, k.shape) * k.strength);
        break;
    case PotentialKind::EnergyDissipation:
        if (isMoving(p)) {
            const double U = externalPotential(p.x, p.y, k.a, k.b, value, k.shape);
            const double f = equilibriumFactor(p, s);
            subtract(acc, U * k.strength * p.vx * f / m * D, U * k.strength * p.vy * f / m * D);
        }
        break;
    default:
        break;
    }
}

ParticleRate oneBodyRate(const Particle& p, const ForceSettings& s) {
    const double q = p.charge, m = p.mass, D = p.dissipation;
    const double B = s.magneticField;
    // The magnetic force starts the sums; if it is not finite they start at 0.
    Acceleration acc = {B * p.vy * q / m, -B * p.vx * q / m};
    if (!std::isfinite(acc.x) || !std::isfinite(acc.y)) acc = {0, 0};
    if (isMoving(p)) {
        const double f = equilibriumFactor(p, s);
        subtract(acc, f * (s.dragCoefficient * p.vx) / m * D, f * (s.dragCoefficient * p.vy) / m * D);
    }
    if (s.forcesEnabled) {
        // The uniform fields are the UniformField shape: minus its gradient
        // is (a, b), per charge for the electric field, per mass for gravity.
        const int shape = static_cast<int>(ExternalShape::UniformField);
                add(acc, -externalPotential(p.x, p.y, s.electricX, s.electricY, gradX, shape) * q / m,
            -externalPotential(p.x, p.y, s.electricX, s.electricY, gradY, shape) * q / m);
        add(acc, -externalPotential(p.x, p.y, s.gravityX, s.gravityY, gradX, shape),
            -externalPotential(p.x, p.y, s.gravityX, s.gravityY, gradY, shape));
    }
    addSoftWalls(acc, p, s);
    for (int k = 0; k < PotentialSlotCount; ++k) addExternalSlot(acc, p, s.externalSlots[k], s);
    return {p.vx, p.vy, acc.x, acc.y};
}

static void addPairSlot(Acceleration& acc, const Particle& p, const Particle& o, double dx, double dy,
                        double r, const PotentialSlot& k, const ForceSettings& s) {
    const double q = p.charge, m = p.mass, D = p.dissipation;
    const double st = k.strength;
    switch (static_cast<PotentialKind>(k.kind)) {
    case PotentialKind::ChargeProportional:
        subtract(acc, pairPotential(dx, dy, k.a, k.b, k.c, r, gradX, k.shape) * st * q * o.charge / m,
                 pairPotential(dx, dy, k.a, k.b, k.c, r, gradY, k.shape) * st * q * o.charge / m);
        break;
    case PotentialKind::MassProportional:
        subtract(acc, pairPotential(dx, dy, k.a, k.b, k.c, r, gradX, k.shape) * st * o.mass,
                 pairPotential(dx, dy, k.a, k.b, k.c, r, gradY, k.shape) * st * o.mass);
        break;
    case PotentialKind::EnergyDissipation:
        if (isMoving(p)) {
            const double U = pairPotential(dx, dy, k.a, k.b, k.c, r, value, k.shape);
            const double f = equilibriumFactor(p, s);
            subtract(acc, st * U * p.vx * f / m * D, st * U * p.vy * f / m * D);
        }
        break;
    case PotentialKind::RelativeVelocityDissipation: {
        const double U = pairPotential(dx, dy, k.a, k.b, k.c, r, value, k.shape);
        subtract(acc, U * st * (p.vx - o.vx) / m * D, U * st * (p.vy - o.vy) / m * D);
        break;
    }
    case PotentialKind::AngularMomentumDissipation: {
        // Only the part along the separation acts, so the pair's angular
        // momentum is kept while its radial motion is damped.
        const double U = pairPotential(dx, dy, k.a, k.b, k.c, r, value, k.shape);
        const double Ax = -(U * st * (p.vx - o.vx) / m * D);
        const double Ay = -(U * st * (p.vy - o.vy) / m * D);
        const double along = Ax * dx + Ay * dy;
        const double d2 = dx * dx + dy * dy;
        add(acc, along * dx / d2, along * dy / d2);
        break;
    }
    default:
        break;
    }
}

void addPairAcceleration(Acceleration& acc, const Particle& p, const Particle& other,
                         const ForceSettings& s) {
    const auto [dx, dy] = pairSeparation(p, other, s.boundaryX, s.boundaryY, s.windowWidth, s.windowHeight);
    const double r = std::sqrt(dx * dx + dy * dy);
    if (s.forcesEnabled) {
        const int shape = static_cast<int>(PairShape::ChargedSphere);
        const double a = s.coulombSoftening;
        const double strength = s.coulombStrength * p.charge * other.charge;
        subtract(acc, pairPotential(dx, dy, a, 0, 0, r, gradX, shape) * strength / p.mass,
                 pairPotential(dx, dy, a, 0, 0, r, gradY, shape) * strength / p.mass);
    }
    for (int k = 0; k < PotentialSlotCount; ++k) addPairSlot(acc, p, other, dx, dy, r, s.pairSlots[k], s);
}

ParticleRate particleRate(const Particle* state, int i, const ForceSettings& s) {
    ParticleRate rate = oneBodyRate(state[i], s);
    Acceleration acc = {rate.ax, rate.ay};
    for (int j = 0; j < s.particleCount; ++j)
        if (j != i) addPairAcceleration(acc, state[i], state[j], s);
    return {rate.dxdt, rate.dydt, acc.x, acc.y};
}

void computeRatesReference(const Particle* state, ParticleRate* rates) {
    const ForceSettings s = forceSettingsFromWorld();
    const int n = s.particleCount;
    #pragma omp parallel for schedule(static)
    for (int i = 0; i < n; ++i) rates[i] = particleRate(state, i, s);
}
