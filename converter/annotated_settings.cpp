#include "converter/annotated_settings.h"

#include <algorithm>
#include <ostream>

#include "settings/settings_format.h"
#include "settings/settings_labels.h"

namespace {

// A value outside its list has no word: the number itself is written, so the
// reader still sees what the settings file held.
void writeWord(std::ostream& out, int value, const char* const* words, int wordCount)
{
    if (value >= 0 && value < wordCount)
        out << words[value];
    else
        out << value;
}

struct ShapeWords {
    const char* const* words;
    int count;
};

void writeInt(std::ostream& out, int value, WordList list, ShapeWords shapes)
{
    switch (list) {
    case WordList::EnabledDisabled: writeWord(out, value, enabledWords, 2); break;
    case WordList::Boundary: writeWord(out, value, boundaryWords, BoundaryModeCount); break;
    case WordList::Kind: writeWord(out, value, kindWords, PotentialKindCount); break;
    case WordList::Shape: writeWord(out, value, shapes.words, shapes.count); break;
    default: out << value; break;
    }
}

void writeHeader(std::ostream& out, const WorldState& record)
{
    for (const HeaderLine& line : headerLines) {
        out << line.label;
        if (line.floatField)
            out << static_cast<double>(record.*line.floatField);
        else
            writeInt(out, record.*line.intField, line.words, {});
        out << '\n';
    }
}

void writeParticles(std::ostream& out, const WorldState& record)
{
    const int count = std::clamp(record.particleCount, 0, MaxParticles);
    for (int i = 0; i < count; ++i)
        for (int k : annotatedParticleOrder) {
            const ParticleLine& line = particleLines[k];
            out << particleLabelPrefix << i << line.suffix << record.particles[i].*line.field << '\n';
        }
}

void writeSlots(std::ostream& out, const char* prefix, const PotentialSlot* slots, ShapeWords shapes)
{
    for (int k = 0; k < PotentialSlotCount; ++k)
        for (const SlotLine& line : slotLines) {
            out << prefix << k << line.suffix;
            if (line.doubleField)
                out << slots[k].*line.doubleField;
            else
                writeInt(out, slots[k].*line.intField, line.words, shapes);
            out << '\n';
        }
}

}  // namespace

void writeAnnotatedSettings(std::ostream& out, const WorldState& record)
{
    out.precision(20);
    writeHeader(out, record);
    writeParticles(out, record);
    writeSlots(out, externalSlotLabelPrefix, record.externalSlots, {externalShapeWords, ExternalShapeCount});
    writeSlots(out, pairSlotLabelPrefix, record.pairSlots, {pairShapeWords, PairShapeCount});
}
