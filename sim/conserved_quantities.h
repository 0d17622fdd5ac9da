// Snapshot sums of the quantities the physics conserves: momenta, angular
// momenta with their magnetic counterparts, and the energy terms.
#pragma once

// Indices into WorldState::conservedValues.
namespace Conserved {
enum Index : int {
    momentumX,
    momentumY,
    angularMomentum,
    magneticMomentumX,
    magneticMomentumY,
    magneticAngularMomentum,
    totalMomentumX,
    totalMomentumY,
    totalAngularMomentum,
    kineticEnergy,
    coulombEnergy,
    electricEnergy,
    gravityEnergy,
    otherExternalEnergy,
    otherPairEnergy,
    totalEnergy,
    Count
};

// The index names as text, for reports such as the batch runner's.
extern const char* const names[Count];
}  // namespace Conserved

// Overwrites all 16 entries of world.conservedValues. Each entry accumulates
// in single precision, as the panel shows it; nothing guards against the
// non-finite values degenerate settings give.
void computeConservedQuantities();

// The same sums into e[0 .. Conserved::Count - 1], leaving what the panel
// shows alone: a recording takes them whether or not the panel asks.
void computeConservedQuantitiesInto(float* e);

// The same sums accumulated in double precision, for measuring the time
// step's error far below what single precision resolves.
void computeConservedQuantitiesInDouble(double* e);
