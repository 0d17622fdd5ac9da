// The settings file: one number per line, 141 + 11n lines for n particles.
// Header lines 1-21, then the particles, then the ten external and the ten
// pair slots. The simulator, the converter and the batch runner all read and
// write it through the tables and the two functions below.
#pragma once

#include <iosfwd>

#include "world_state.h"

// Which word list the converter spells a header or slot value with.
enum class WordList {
    None,             // the number itself
    EnabledDisabled,  // forcesEnabled
    Boundary,         // BoundaryMode
    Kind,             // PotentialKind
    Shape,            // ExternalShape or PairShape, by slot family
};

// One header line: exactly one of the two fields is set, and says the type.
struct HeaderLine {
    int WorldState::*intField;
    float WorldState::*floatField;
    const char* label;   // the converter's label, ending in its space
    WordList words;
};
constexpr int HeaderLineCount = 21;
extern const HeaderLine headerLines[HeaderLineCount];

// The eleven values of a particle, in the order the file holds them.
struct ParticleLine {
    double Particle::*field;
    const char* suffix;   // the converter's label after prefix and number
};
constexpr int ParticleLineCount = 11;
extern const ParticleLine particleLines[ParticleLineCount];
extern const char* const particleLabelPrefix;
// The converter lists dissipation seventh, before the display values;
// indices into particleLines in the converter's order.
extern const int annotatedParticleOrder[ParticleLineCount];

// The six values of a slot: two ints, then four doubles.
struct SlotLine {
    int PotentialSlot::*intField;
    double PotentialSlot::*doubleField;
    const char* suffix;
    WordList words;
};
constexpr int SlotLineCount = 6;
extern const SlotLine slotLines[SlotLineCount];
extern const char* const externalSlotLabelPrefix;
extern const char* const pairSlotLabelPrefix;

// Lines of a complete file with n particles.
constexpr int settingsLineCount(int particleCount) { return 141 + 11 * particleCount; }

// Writes the record, every value followed by '\n', at 20 significant digits
// (floats widened to double first). At most MaxParticles particles, and never
// a negative count, are written.
void writeSettings(std::ostream& out, const WorldState& w);

// Where lines 4 and 5 go: the converter and the batch runner take them as the
// domain; the simulator's load takes them as the requested window size, which
// the window then follows.
enum class SizeLines { Window, Requested };

// Reads one value per line in file order, each into a temporary of the
// field's own type, and stores it only when its line holds that number and
// nothing else but spaces. The first failure stops the read: that field and
// all later ones keep their contents. A particle count below 0 or above
// MaxParticles counts as a failure at line 21. Returns the number of values
// taken, which is also the number of lines read: a complete file gives
// settingsLineCount(w.particleCount), a stopped read stopped at line taken + 1.
int readSettings(std::istream& in, WorldState& w, SizeLines sizeLines);
