// Writes the gallery of ready scenes, examples/NNN-name.txt: each shows one
// piece of physics with a number a teacher can check (examples/README.md).
// The committed files are this program's output; a test keeps them so.
//
//   partivox-example-scenes FOLDER
#include <cmath>
#include <cstdio>
#include <string>

#include "settings/settings_files.h"
#include "sim/world_state.h"

namespace {

struct Colour {
    double red, green, blue;
};
const Colour red = {0.9, 0.1, 0.1}, blue = {0.1, 0.2, 0.9}, green = {0.1, 0.7, 0.2},
             orange = {1.0, 0.6, 0.0}, purple = {0.6, 0.2, 0.8}, grey = {0.4, 0.4, 0.4};
const Colour rainbow[] = {red, orange, green, blue, purple, grey};

// An empty world with the start-up settings and a window of the given size.
// Scenes that would be over in a blink at ten steps per frame set fewer
// (displayInterval), so that a class can follow them.
void emptyWorld(int width, int height) {
    world = WorldState{};
    world.windowWidth = width;
    world.windowHeight = height;
    world.particleCount = 0;
}

Particle& addParticle(double x, double y, double vx, double vy, double mass, double charge, Colour c,
                      double radius = 8) {
    Particle& p = world.particles[world.particleCount++];
    p = Particle{x, y, vx, vy, mass, charge, c.red, c.green, c.blue, radius, 1.0};
    return p;
}

void setSlot(PotentialSlot& slot, PotentialKind kind, int shape, double strength, double a, double b = 0,
             double c = 0) {
    slot = PotentialSlot{static_cast<int>(kind), shape, strength, a, b, c};
}

void setBoundaries(BoundaryMode x, BoundaryMode y) {
    world.boundaryX = static_cast<int>(x);
    world.boundaryY = static_cast<int>(y);
}

// The scenes are built from + - * / and sqrt only, which round the same on
// every processor: the committed files are the generator's output anywhere.
// Small integer wobbles stand in for random numbers.
int wobble(int i, int k) { return (i * 37 + k * 11) % 15 - 7; }   // -7 to 7

// Three charges in a magnetic field circle the window's centre: radii
// m v / (q B) of 80, 40 and 120, the negative one the other way round.
void magneticCircles() {
    emptyWorld(500, 500);
    setBoundaries(BoundaryMode::Open, BoundaryMode::Open);
    world.magneticField = 0.025f;
    addParticle(250, 330, 2, 0, 1, 1, red);
    addParticle(250, 290, 1, 0, 1, 1, orange);
    addParticle(250, 130, 3, 0, 1, -1, blue);
}

// Charges at rest in crossed electric and magnetic fields: whatever their
// charge and mass, all drift sideways at E / B = 0.5.
void crossedFieldsDrift() {
    emptyWorld(500, 500);
    world.magneticField = 0.1f;
    world.electricY = 0.05f;
    addParticle(50, 100, 0, 0, 1, 1, red);
    addParticle(50, 200, 0, 0, 4, 1, orange);
    addParticle(50, 300, 0, 0, 1, -1, blue);
    addParticle(50, 400, 0, 0, 1, 2, green);
}

// A charge in two quadratic external fields, stiffer in y by 9 / 4: the
// frequencies stand as 2 : 3 and the paths close into Lissajous figures.
void lissajous() {
    emptyWorld(500, 500);
    setSlot(world.externalSlots[0], PotentialKind::ChargeProportional, int(ExternalShape::QuadraticX), 0.002, 250);
    setSlot(world.externalSlots[1], PotentialKind::ChargeProportional, int(ExternalShape::QuadraticY), 0.0045, 250);
    world.displayInterval = 2;
    addParticle(350, 250, 0, 6, 1, 1, red);
    addParticle(250, 250, 4, 5, 1, 1, green);
    addParticle(250, 150, 5, 0, 1, 1, blue);
}

// A light charge around a heavy opposite one, started slower than a circle
// needs: an ellipse whose period follows Kepler's third law.
void keplerOrbit() {
    emptyWorld(500, 500);
    world.coulombStrength = 100;
    world.displayInterval = 5;
    addParticle(250, 250, 0, -0.008, 100, -1, blue, 14);
    addParticle(350, 250, 0, 0.8, 1, 1, red, 6);
}

// Six like charges in a round quadratic trap with drag settle into one in
// the middle and five on a ring.
void coulombCluster() {
    emptyWorld(500, 500);
    world.coulombStrength = 180;
    world.dragCoefficient = 0.05f;
    setSlot(world.externalSlots[0], PotentialKind::MassProportional, int(ExternalShape::QuadraticX), 0.001, 250);
    setSlot(world.externalSlots[1], PotentialKind::MassProportional, int(ExternalShape::QuadraticY), 0.001, 250);
    const double start[6][2] = {{150, 120}, {330, 140}, {400, 300}, {260, 420}, {120, 330}, {240, 240}};
    for (int i = 0; i < 6; ++i) addParticle(start[i][0], start[i][1], 0, 0, 1, 1, rainbow[i]);
}

// Particles that attract at a Morse minimum and lose energy while close to a
// neighbour: a crystal grows with its neighbours the minimum's distance
// apart. The edges are periodic for the forces too.
void morseCrystal() {
    emptyWorld(300, 300);
    setBoundaries(BoundaryMode::PeriodicInteracting, BoundaryMode::PeriodicInteracting);
    setSlot(world.pairSlots[0], PotentialKind::MassProportional, int(PairShape::Morse), 1, 24, 4);
    setSlot(world.pairSlots[1], PotentialKind::EnergyDissipation, int(PairShape::Tanh), 0.02, 30, 3);
    for (int i = 0; i < 16; ++i) {
        const double x = 90 + 40 * (i % 4) + wobble(i, 0), y = 90 + 40 * (i / 4) + wobble(i, 1);
        addParticle(x, y, 0.03 * wobble(i, 2), 0.03 * wobble(i, 3), 1, 1, i % 2 ? blue : green, 10);
    }
}

// Balls thrown at 15, 30, 45, 60 and 75 degrees at the same speed under
// gravity: 45 degrees goes furthest, v^2 / g, and each pair of angles that
// add up to 90 degrees lands on the same spot.
void projectileRange() {
    emptyWorld(600, 400);
    setBoundaries(BoundaryMode::Wall, BoundaryMode::Wall);
    world.gravityY = 0.05f;
    world.displayInterval = 2;
    const double speed = 4.5;
    // cos and sin of 15, 30, 45, 60 and 75 degrees.
    const double r2 = std::sqrt(2.0), r3 = std::sqrt(3.0), r6 = std::sqrt(6.0);
    const double cosine[5] = {(r6 + r2) / 4, r3 / 2, r2 / 2, 0.5, (r6 - r2) / 4};
    for (int i = 0; i < 5; ++i)
        addParticle(60, 400, speed * cosine[i], -speed * cosine[4 - i], 1, 1, rainbow[i], 6);
}

// Drag with an equilibrium speed: fast particles slow down and slow ones
// speed up until every one moves at 1.5, each in its own direction.
void terminalSpeed() {
    emptyWorld(500, 500);
    world.dragCoefficient = 0.05f;
    world.terminalSpeed = 1.5f;
    // Directions from Pythagorean triples, so that every speed is as given.
    const int direction[12][3] = {{3, 4, 5},    {-4, 3, 5},   {5, -12, 13}, {-8, -15, 17}, {7, 24, 25},   {-20, 21, 29},
                                  {12, 5, 13},  {-3, -4, 5},  {15, 8, 17},  {-24, 7, 25},  {21, -20, 29}, {9, 40, 41}};
    for (int i = 0; i < 12; ++i) {
        const double speed = 0.2 + 0.35 * i;
        const int* d = direction[i];
        addParticle(100 + 100 * (i % 4), 150 + 100 * (i / 4), speed * d[0] / d[2], speed * d[1] / d[2], 1, 1,
                    rainbow[i % 6]);
    }
}

// Masses held together by springs between every pair and damped only along
// their separations: the cluster loses energy but never its spin, and ends
// turning rigidly with kinetic energy L w / 2.
void spinningCluster() {
    emptyWorld(500, 500);
    setSlot(world.pairSlots[0], PotentialKind::MassProportional, int(PairShape::Power), 0.0005, 2, 10);
    setSlot(world.pairSlots[1], PotentialKind::AngularMomentumDissipation, int(PairShape::Power), 0.01, 0, 1);
    const double start[8][4] = {{250, 150, 0.9, 0.1},   {340, 200, 0.4, 0.8},  {330, 310, -0.5, 0.6},
                                {250, 340, -0.8, -0.2}, {160, 300, -0.6, -0.7}, {170, 190, 0.3, -0.9},
                                {220, 240, 0.2, 0.3},   {290, 260, -0.3, -0.4}};
    for (int i = 0; i < 8; ++i) {
        const double* s = start[i];
        addParticle(s[0], s[1], s[2], s[3], 1, 1, rainbow[i % 6]);
    }
    // No drift: the cluster turns about a fixed centre.
    double px = 0, py = 0;
    for (int i = 0; i < 8; ++i) px += world.particles[i].vx, py += world.particles[i].vy;
    for (int i = 0; i < 8; ++i) world.particles[i].vx -= px / 8, world.particles[i].vy -= py / 8;
}

// Two charges in a Lorentzian well 30 apart, the relative motion damped
// near the well: they fall into a bound pair at distance 30 that drifts on
// with the momentum they started with.
void boundPair() {
    emptyWorld(500, 500);
    setSlot(world.pairSlots[0], PotentialKind::ChargeProportional, int(PairShape::Lorentzian), -2, 30, 10);
    setSlot(world.pairSlots[1], PotentialKind::RelativeVelocityDissipation, int(PairShape::Gaussian), 0.05, 30, 15);
    addParticle(200, 230, 0.5, 0.4, 1, 1, red);
    addParticle(250, 270, -0.1, -0.2, 1, 1, blue);
}

// A potential step of height 1 made of a tanh field, soft walls at both
// ends: particles with kinetic energy below the step turn back, faster ones
// cross it slower, at sqrt(v^2 - 2).
void potentialStep() {
    emptyWorld(600, 300);
    setBoundaries(BoundaryMode::WallPrecise, BoundaryMode::Periodic);
    world.wallPosition = 10;
    world.displayInterval = 3;
    setSlot(world.externalSlots[0], PotentialKind::ChargeProportional, int(ExternalShape::TanhX), 0.5, 300, 10);
    const double speeds[4] = {2.0, 1.6, 1.2, 0.8};
    for (int i = 0; i < 4; ++i) addParticle(60, 60 + 60 * i, speeds[i], 0, 1, 1, rainbow[i]);
}

// A layer whose drag grows as the square of the depth: equal particles shot
// in at the same speed stop after m v / (s y^2), further the higher up.
void viscousLayer() {
    emptyWorld(500, 500);
    setBoundaries(BoundaryMode::Open, BoundaryMode::Open);
    world.displayInterval = 3;
    setSlot(world.externalSlots[0], PotentialKind::EnergyDissipation, int(ExternalShape::QuadraticY), 1e-6, 0);
    for (int i = 0; i < 4; ++i) addParticle(40, 100 + 50 * i, 1.5, 0, 1, 1, rainbow[i]);
}

// Light negative charges released inside a heavy uniformly charged ball:
// the force grows with the distance from the centre, so all of them reach
// it together and swing with one period, 2 pi sqrt(m a^3 / (s q Q)).
void chargedBall() {
    emptyWorld(500, 500);
    world.displayInterval = 3;
    setSlot(world.pairSlots[0], PotentialKind::ChargeProportional, int(PairShape::ChargedSphere), 1, 60);
    addParticle(250, 250, 0, 0, 1e6, 100, {0.85, 0.85, 0.85}, 60);
    const double start[4][2] = {{15, 0}, {0, 30}, {-45, 0}, {0, -55}};
    for (int i = 0; i < 4; ++i) addParticle(250 + start[i][0], 250 + start[i][1], 0, 0, 0.01, -0.01, rainbow[i], 4);
}

// Five equal balls in a row with a screened short-range repulsion; the
// first runs into the others, and the last flies off with its speed while
// the rest stand still: momentum and energy both kept.
void newtonsCradle() {
    emptyWorld(500, 200);
    setBoundaries(BoundaryMode::Wall, BoundaryMode::Periodic);
    world.displayInterval = 2;
    setSlot(world.pairSlots[0], PotentialKind::ChargeProportional, int(PairShape::PowerExp), 10, -1, 1, 5);
    addParticle(60, 100, 1, 0, 1, 1, red, 10);
    for (int i = 0; i < 4; ++i) addParticle(200 + 40 * i, 100, 0, 0, 1, 1, blue, 10);
}

struct Scene {
    const char* name;   // NNN-short-name: NNN is the number to load in the window
    void (*build)();
};

const Scene scenes[] = {
    {"100-magnetic-circles", magneticCircles},
    {"101-crossed-fields-drift", crossedFieldsDrift},
    {"102-lissajous", lissajous},
    {"103-kepler-orbit", keplerOrbit},
    {"104-coulomb-cluster", coulombCluster},
    {"105-morse-crystal", morseCrystal},
    {"106-projectile-range", projectileRange},
    {"107-terminal-speed", terminalSpeed},
    {"108-spinning-cluster", spinningCluster},
    {"109-bound-pair", boundPair},
    {"110-potential-step", potentialStep},
    {"111-viscous-layer", viscousLayer},
    {"112-charged-ball", chargedBall},
    {"113-newtons-cradle", newtonsCradle},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: partivox-example-scenes FOLDER\n");
        return 2;
    }
    for (const Scene& scene : scenes) {
        scene.build();
        const std::string path = std::string(argv[1]) + "/" + scene.name + ".txt";
        const std::string failure = writeSettingsOutput(path, world);
        if (!failure.empty()) {
            std::fprintf(stderr, "partivox-example-scenes: cannot write '%s': %s\n", path.c_str(), failure.c_str());
            return 2;
        }
    }
    return 0;
}
