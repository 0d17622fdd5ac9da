// The gallery in examples/: every scene loads whole, shows the number the
// physics predicts for it, and is exactly what its generator writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>

#include "settings/settings_files.h"
#include "sim/boundaries.h"
#include "sim/time_step.h"
#include "sim/world_state.h"
#include "tests/temporary_folder.h"

namespace {

constexpr double pi = 3.14159265358979323846;

const Particle& particle(int i) { return world.particles[i]; }
double stepSize() { return world.simulationSpeed; }
long long stepsFor(double time) { return std::llround(time / stepSize()); }

// What the simulator does between two frames, once.
void step() {
    advanceStep();
    applyBoundaries();
}

void run(long long steps) {
    for (long long s = 0; s < steps; ++s) step();
}

double speed(const Particle& p) { return std::hypot(p.vx, p.vy); }

// Time between the first two upward crossings of `value` by f, linear
// between steps; -1 when they do not come within `longest`.
double periodAround(const std::function<double()>& f, double value, double longest) {
    double before = f(), first = -1;
    for (long long s = 1; s <= stepsFor(longest); ++s) {
        step();
        const double now = f();
        if (before < value && now >= value) {
            const double time = (s - 1 + (value - before) / (now - before)) * stepSize();
            if (first >= 0) return time - first;
            first = time;
        }
        before = now;
    }
    return -1;
}

// ---- The measurements and the physics' predictions ----

// Largest distance from the centre the Lorentz force should turn the charge
// around: the radius, and twice it were the force turned the wrong way.
double cyclotronRadiusMeasured() {
    const Particle& p = particle(0);
    const double reach = p.mass / (p.charge * world.magneticField);
    const double cx = p.x + reach * p.vy, cy = p.y - reach * p.vx;
    double largest = 0;
    for (long long s = 0; s < stepsFor(2 * pi * std::fabs(reach)); ++s) {
        step();
        largest = std::max(largest, std::hypot(particle(0).x - cx, particle(0).y - cy));
    }
    return largest;
}
double cyclotronRadiusPredicted() {
    const Particle& p = particle(0);
    return p.mass * speed(p) / std::fabs(p.charge * world.magneticField);
}

// Mean rightward speed over three turns of the cycloid, across the periodic edge.
double driftMeasured() {
    const Particle& p = particle(0);
    const long long steps = stepsFor(3 * 2 * pi * p.mass / (p.charge * world.magneticField));
    double travelled = 0, x = p.x;
    for (long long s = 0; s < steps; ++s) {
        step();
        travelled += minimumImage(particle(0).x - x, world.windowWidth);
        x = particle(0).x;
    }
    return travelled / (steps * stepSize());
}
double driftPredicted() { return world.electricY / world.magneticField; }

double oscillatorPeriodMeasured() {
    const double centre = world.externalSlots[0].a;
    return periodAround([] { return particle(0).x; }, centre, 1000);
}
double oscillatorPeriodPredicted() {
    const Particle& p = particle(0);
    return 2 * pi * std::sqrt(p.mass / (2 * world.externalSlots[0].strength * p.charge));
}

// One full turn of the light charge around the heavy one.
double orbitPeriodMeasured() {
    auto angle = [] { return std::atan2(particle(1).y - particle(0).y, particle(1).x - particle(0).x); };
    double turned = 0, before = angle();
    for (long long s = 1; s < stepsFor(2000); ++s) {
        step();
        const double now = angle();
        const double increment = std::remainder(now - before, 2 * pi);
        if (std::fabs(turned + increment) >= 2 * pi)
            return (s - 1 + (2 * pi - std::fabs(turned)) / std::fabs(increment)) * stepSize();
        turned += increment;
        before = now;
    }
    return -1;
}
// Kepler's third law for the relative motion, the semi-major axis from the
// energy (vis-viva).
double orbitPeriodPredicted() {
    const Particle &heavy = particle(0), &light = particle(1);
    const double mu = world.coulombStrength * std::fabs(heavy.charge * light.charge) * (1 / heavy.mass + 1 / light.mass);
    const double r = std::hypot(light.x - heavy.x, light.y - heavy.y);
    const double v = std::hypot(light.vx - heavy.vx, light.vy - heavy.vy);
    const double a = 1 / (2 / r - v * v / mu);
    return 2 * pi * std::sqrt(a * a * a / mu);
}

double distanceFromTrapCentre(const Particle& p) {
    return std::hypot(p.x - world.externalSlots[0].a, p.y - world.externalSlots[1].a);
}
// Mean radius of the five outer charges once the cluster has settled.
double clusterRingMeasured() {
    run(stepsFor(800));
    double d[6];
    for (int i = 0; i < 6; ++i) d[i] = distanceFromTrapCentre(particle(i));
    std::sort(d, d + 6);
    EXPECT_LT(d[0], 0.5) << "one charge in the middle";
    return (d[1] + d[2] + d[3] + d[4] + d[5]) / 5;
}
// On the ring, the trap's pull 2 s m R balances the centre's push k q^2 / R^2
// and the other four's, k q^2 / (4 R^2) times the sum of 1 / sin(pi j / 5).
double clusterRingPredicted() {
    const Particle& p = particle(0);
    double ring = 0;
    for (int j = 1; j < 5; ++j) ring += 1 / std::sin(pi * j / 5);
    const double push = world.coulombStrength * p.charge * p.charge * (ring / 4 + 1);
    return std::cbrt(push / (2 * world.externalSlots[0].strength * p.mass));
}

double meanNearestNeighbourMeasured() {
    run(stepsFor(1500));
    double sum = 0;
    for (int i = 0; i < world.particleCount; ++i) {
        double nearest = 1e300;
        for (int j = 0; j < world.particleCount; ++j) {
            if (j == i) continue;
            const Separation d = pairSeparation(particle(i), particle(j), world.boundaryX, world.boundaryY,
                                                world.windowWidth, world.windowHeight);
            nearest = std::min(nearest, std::hypot(d.dx, d.dy));
        }
        sum += nearest;
    }
    return sum / world.particleCount;
}
double morseMinimum() { return world.pairSlots[0].a; }

// Where the 45-degree ball first comes down to its launch height, between
// the two steps around its bounce on the floor.
double rangeMeasured() {
    const double x0 = particle(2).x;
    for (long long s = 0; s < stepsFor(500); ++s) {
        const bool falling = particle(2).vy > 0;
        step();
        const Particle& p = particle(2);
        if (falling && p.vy < 0) return p.x - p.vx * (world.windowHeight - p.y) / -p.vy - x0;
    }
    return -1;
}
double rangePredicted() {
    const Particle& p = particle(2);
    return 2 * p.vx * -p.vy / world.gravityY;
}

double meanSpeedMeasured() {
    run(stepsFor(300));
    double sum = 0;
    for (int i = 0; i < world.particleCount; ++i) sum += speed(particle(i));
    return sum / world.particleCount;
}
double terminalSpeedSetting() { return world.terminalSpeed; }

double kineticEnergy() {
    double sum = 0;
    for (int i = 0; i < world.particleCount; ++i) sum += 0.5 * particle(i).mass * speed(particle(i)) * speed(particle(i));
    return sum;
}
double spinKineticEnergyMeasured() {
    run(stepsFor(1500));
    return kineticEnergy();
}
// Every mass feels 2 s M / b^2 times its distance from the centre of mass,
// so the rigid turn comes at w = sqrt(2 s M) / b, with L kept throughout.
double spinKineticEnergyPredicted() {
    double mass = 0, angular = 0;
    for (int i = 0; i < world.particleCount; ++i) {
        const Particle& p = particle(i);
        mass += p.mass;
        angular += p.mass * (p.x * p.vy - p.y * p.vx);
    }
    const PotentialSlot& spring = world.pairSlots[0];
    const double omega = std::sqrt(2 * spring.strength * mass) / spring.b;
    return 0.5 * std::fabs(angular) * omega;
}

double pairDistanceMeasured() {
    run(stepsFor(600));
    const Separation d = pairSeparation(particle(0), particle(1), world.boundaryX, world.boundaryY,
                                        world.windowWidth, world.windowHeight);
    return std::hypot(d.dx, d.dy);
}
double wellDistance() { return world.pairSlots[0].a; }

// Speed of the fastest particle once it is well past the step.
double speedPastStepMeasured() {
    const double beyond = world.externalSlots[0].a + 10 * world.externalSlots[0].b;
    for (long long s = 0; s < stepsFor(300) && particle(0).x < beyond; ++s) step();
    return speed(particle(0));
}
double speedPastStepPredicted() {
    const Particle& p = particle(0);
    const double stepHeight = 2 * world.externalSlots[0].strength * p.charge;
    return std::sqrt(p.vx * p.vx - 2 * stepHeight / p.mass);
}

double stoppingDistanceMeasured() {
    const double x0 = particle(0).x;
    run(stepsFor(2000));
    return particle(0).x - x0;
}
double stoppingDistancePredicted() {
    const Particle& p = particle(0);
    const PotentialSlot& layer = world.externalSlots[0];
    const double drag = layer.strength * (p.y - layer.a) * (p.y - layer.a) * p.dissipation;
    return p.mass * p.vx / drag;
}

double ballPeriodMeasured() {
    const double centre = particle(0).x;
    return periodAround([] { return particle(1).x; }, centre, 1000);
}
double ballPeriodPredicted() {
    const Particle &ball = particle(0), &charge = particle(1);
    const PotentialSlot& slot = world.pairSlots[0];
    return 2 * pi * std::sqrt(charge.mass * std::pow(slot.a, 3) / std::fabs(slot.strength * charge.charge * ball.charge));
}

double lastBallSpeedMeasured() {
    run(stepsFor(380));
    return particle(world.particleCount - 1).vx;
}
double firstBallSpeed() { return particle(0).vx; }

struct SceneCheck {
    const char* file;
    const char* quantity;
    double (*measured)();
    double (*predicted)();   // from the loaded settings, before any step
    double tolerance;        // relative
};

// Each tolerance is a few times what the step size costs; a force of the
// wrong sign or size misses by far more.
const SceneCheck sceneChecks[] = {
    {"100-magnetic-circles", "radius m v / (q B)", cyclotronRadiusMeasured, cyclotronRadiusPredicted, 0.002},
    {"101-crossed-fields-drift", "drift speed E / B", driftMeasured, driftPredicted, 0.005},
    {"102-lissajous", "period 2 pi sqrt(m / k)", oscillatorPeriodMeasured, oscillatorPeriodPredicted, 0.002},
    {"103-kepler-orbit", "Kepler period", orbitPeriodMeasured, orbitPeriodPredicted, 0.002},
    {"104-coulomb-cluster", "ring radius", clusterRingMeasured, clusterRingPredicted, 0.002},
    {"105-morse-crystal", "nearest-neighbour distance", meanNearestNeighbourMeasured, morseMinimum, 0.006},
    {"106-projectile-range", "range v^2 / g", rangeMeasured, rangePredicted, 0.002},
    {"107-terminal-speed", "mean speed", meanSpeedMeasured, terminalSpeedSetting, 0.002},
    {"108-spinning-cluster", "kinetic energy L w / 2", spinKineticEnergyMeasured, spinKineticEnergyPredicted, 0.002},
    {"109-bound-pair", "bond length", pairDistanceMeasured, wellDistance, 0.005},
    {"110-potential-step", "speed past the step", speedPastStepMeasured, speedPastStepPredicted, 0.002},
    {"111-viscous-layer", "stopping distance", stoppingDistanceMeasured, stoppingDistancePredicted, 0.002},
    {"112-charged-ball", "period inside the ball", ballPeriodMeasured, ballPeriodPredicted, 0.002},
    {"113-newtons-cradle", "speed of the last ball", lastBallSpeedMeasured, firstBallSpeed, 0.002},
};

std::string examplePath(const std::string& name) { return std::string(EXAMPLES_DIR) + "/" + name + ".txt"; }

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::set<std::string> sceneFiles(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".txt") names.insert(entry.path().filename().string());
    return names;
}

}  // namespace

TEST(ExampleScenes, EachShowsTheNumberThePhysicsPredicts) {
    for (const SceneCheck& check : sceneChecks) {
        world = WorldState{};
        const LoadResult loaded = loadSettingsFile(examplePath(check.file), world, SizeLines::Window);
        ASSERT_TRUE(loaded.complete) << check.file;
        const double predicted = check.predicted();
        const double measured = check.measured();
        EXPECT_NEAR(measured, predicted, check.tolerance * std::fabs(predicted))
            << check.file << ": " << check.quantity;
    }
}

TEST(ExampleScenes, CommittedFilesAreWhatTheGeneratorWrites) {
    TemporaryFolder folder;
    ASSERT_EQ(std::system((std::string(SCENE_GENERATOR) + " " + folder.path().string()).c_str()), 0);
    const std::set<std::string> written = sceneFiles(folder.path());
    EXPECT_EQ(sceneFiles(EXAMPLES_DIR), written);
    EXPECT_EQ(written.size(), std::size(sceneChecks)) << "every scene has its number checked";
    for (const std::string& name : written)
        EXPECT_EQ(contents(std::string(EXAMPLES_DIR) + "/" + name), contents(folder / name)) << name;
}
