// The one record that holds every piece of the simulator's state, and the
// plain types and enumerations it is made of. Everything here is plain data:
// the widget toolkit binds its live variables straight to these fields.
#pragma once

constexpr int MaxParticles = 1000;       // capacity of the particle table
constexpr int PotentialSlotCount = 10;   // slots per family (external, pair)

// Slot kinds and shapes are stored as ints, because the toolkit's list boxes
// write ints. Code switches on the enum with a default that does nothing, so a
// value read from a damaged file acts like Disabled / no boundary / zero.
enum class PotentialKind : int {
    Disabled = 0,
    ChargeProportional = 1,
    MassProportional = 2,
    EnergyDissipation = 3,
    RelativeVelocityDissipation = 4,   // pair slots only
    AngularMomentumDissipation = 5,    // pair slots only
};
constexpr int PotentialKindCount = 6;

enum class ExternalShape : int {
    UniformField = 0,
    QuadraticX = 1,
    QuadraticY = 2,
    TanhX = 3,
    TanhY = 4,
};
constexpr int ExternalShapeCount = 5;

enum class PairShape : int {
    ChargedSphere = 0,
    Power = 1,
    PowerExp = 2,
    Tanh = 3,
    Morse = 4,
    Gaussian = 5,
    Lorentzian = 6,
};
constexpr int PairShapeCount = 7;

enum class BoundaryMode : int {
    Periodic = 0,
    Wall = 1,
    Open = 2,
    WallPrecise = 3,
    PeriodicInteracting = 4,
};
constexpr int BoundaryModeCount = 5;

enum class DragMode : int {
    NoDrag = 0,
    MoveDrag = 1,
    VelocityDrag = 2,
};

// Identifiers of the thirteen buttons of the particle editing panel.
enum class ParticleEditAction : int {
    ShowCurrent = 0,
    ApplyPosition = 1,
    ApplyVelocity = 2,
    ApplyMass = 3,
    ApplyCharge = 4,
    RandomColour = 5,
    ApplyColour = 6,
    ApplyRadius = 7,
    AddRandomColoured = 8,
    AddParticle = 9,
    RemoveParticle = 10,
    ApplyDissipation = 11,
    ZeroMomentumVelocity = 12,
};

enum class GraphContent : int {
    SingleExternal = 0,
    ExternalSum = 1,
    ParticleDissipationSum = 2,
    SinglePair = 3,
    PairSum = 4,
    PairDissipationSum = 5,
};

enum class GraphAxis : int {
    PlotUp = 0,      // quantity upwards, as a function of x
    PlotRight = 1,   // quantity to the right, as a function of y
};

// Pixels and pixels per unit time; x to the right, y downwards.
struct Particle {
    double x = 0;
    double y = 0;
    double vx = 0;
    double vy = 0;
    double mass = 0;
    double charge = 0;
    double red = 0;            // display colour components, 0 to 1
    double green = 0;
    double blue = 0;
    double radius = 0;         // drawing and picking only, no physical effect
    double dissipation = 0;    // factor on every dissipative acceleration
};

// The panels edit particles as floats; same fields, same order as Particle.
struct ParticleFloats {
    float x = 0;
    float y = 0;
    float vx = 0;
    float vy = 0;
    float mass = 0;
    float charge = 0;
    float red = 0;
    float green = 0;
    float blue = 0;
    float radius = 0;
    float dissipation = 0;
};

struct PotentialSlot {
    int kind = 0;          // PotentialKind
    int shape = 0;         // ExternalShape or PairShape, by family
    double strength = 0;   // factor on the whole shape
    double a = 0;          // shape parameters; c is used by PowerExp only
    double b = 0;
    double c = 0;
};

// Float copy of one slot that a slot editor panel binds.
struct SlotEditor {
    int slotIndex = 0;
    float strength = 0;
    float a = 0;
    float b = 0;
    float c = 0;
    int kind = 0;
    int shape = 0;
};

struct WorldState {
    // ---- Group A: what a settings file holds, in the file's order ----

    float simulationSpeed = 0.1f;   // step size h of one Runge-Kutta step (time units); 0.1
    int displayInterval = 10;       // steps per displayed frame; 10
    float rightDragSpeed = 0.01f;   // velocity per pixel of right drag, also scales random velocities; 0.01
    int windowWidth = 500;          // domain width = main window width (pixels); 500
    int windowHeight = 500;         // domain height = main window height (pixels); 500
    int forcesEnabled = 1;          // gravity, electric field and Coulomb act only while exactly 1; 1
    float gravityX = 0;             // rightward gravitational acceleration; 0
    float gravityY = 0;             // downward gravitational acceleration; 0
    float electricX = 0;            // rightward electric field (force per charge); 0
    float electricY = 0;            // downward electric field; 0
    float magneticField = 0;        // magnetic field into the screen; 0
    float coulombStrength = 0;      // Coulomb constant; negative makes like charges attract; 0
    float coulombSoftening = 1.0f;  // below this distance the Coulomb force grows linearly (pixels); 1
    float dragCoefficient = 0;      // drag coefficient (per unit time); 0
    float terminalSpeed = 0;        // speed at which drag vanishes (pixels per unit time); 0
    int boundaryX = 0;              // BoundaryMode of the x axis; Periodic
    int boundaryY = 0;              // BoundaryMode of the y axis; Periodic
    float wallStrength = 100.0f;    // height of the soft wall step (energy per mass); 100
    float wallSoftness = 5.0f;      // width of the soft wall step (pixels); 5
    float wallPosition = -10.0f;    // soft wall centre, inward from the edge (pixels); -10
    int particleCount = 6;          // live particles are entries 0 .. particleCount-1; 6
    Particle particles[MaxParticles];                // entries past the count are ignored; all zero
    PotentialSlot externalSlots[PotentialSlotCount]; // external fields; all zero (Disabled)
    PotentialSlot pairSlots[PotentialSlotCount];     // pair potentials; all zero (Disabled)

    // ---- Group B: widget mirrors and view state, never saved ----

    ParticleFloats editValues = {100, 100, 0.2f, 0.1f, 1, 1, 0, 0, 0, 10, 1};  // particle edit panel
    ParticleFloats infoValues = {};     // particle information panel; all 0
    int infoParticleIndex = 0;          // particle shown in the information panel
    int editParticleIndex = 0;          // particle the edit panel applies to
    int infoPickByClick = 0;            // a left click picks the shown particle
    int editPickByClick = 0;            // a left click picks the edited particle
    int computeConserved = 0;           // recompute conservedValues at every displayed frame
    float conservedValues[16] = {};     // see Conserved:: for the order
    int requestedWidth = 500;           // window size edit fields (pixels)
    int requestedHeight = 500;
    SlotEditor externalEditor = {};     // external slot editor panel
    SlotEditor pairEditor = {};         // pair slot editor panel
    int showGraph = 0;                  // graph view on; stops the simulation
    int graphShowParticles = 0;
    int graphOriginManual = 0;          // a left click moves the graph origin
    int probeAxisManual = 0;            // a left click moves the probe point
    int graphContent = 0;               // GraphContent
    int graphSlotIndex = 0;             // slot drawn by the single-slot contents
    int graphAxis = 0;                  // GraphAxis
    int graphSumWall = 1;               // what the sum contents include
    int graphSumChargeProportional = 1;
    int graphSumMassProportional = 1;
    int graphSumEnergyDissipation = 1;
    int graphSumRelativeVelocityDissipation = 1;
    int graphSumAngularMomentumDissipation = 1;
    float graphOriginX = 250;           // graph origin (window pixels)
    float graphOriginY = 250;
    float probeX = 200;                 // probe lines (window pixels)
    float probeY = 200;
    float potentialRange = 5.0f;        // potential that spans the window
    float dissipationRange = 0.05f;     // dissipation profile that spans the window
    float graphChargeProduct = 1.0f;    // charge (product) assumed by the graph
    float graphMassProduct = 1.0f;      // mass (product) assumed by the graph
    int frameCounter = 0;               // steps since the last displayed frame
    bool paused = false;
    int fileNumber = 0;                 // N of "data/N.txt"
    int dragMode = 0;                   // DragMode
    int dragParticle = 0;               // particle being dragged
    double dragStartX = 0;              // where the drag began (pixels)
    double dragStartY = 0;
    int mainWindow = 0;                 // GLUT window identifier, set at start-up
};

extern WorldState world;
