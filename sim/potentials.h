// The catalogue of potential shapes: each returns the potential U or one
// component of its analytic gradient. They know nothing of slot kinds,
// strengths, charges or masses; the callers scale them.
//
// Defined here, inline, because the force loop calls them for every ordered
// pair several times per step and must see through them.
#pragma once

#include <cmath>

#include "world_state.h"

enum class PotentialQuery : int {
    Value = 0,   // U
    GradX = 1,   // dU/dx (for a pair: with respect to dx)
    GradY = 2,   // dU/dy (for a pair: with respect to dy)
};

// Shown by the slot editors beside the selected shape; indexed by shape.
inline constexpr const char* externalFormulas[ExternalShapeCount] = {
    "U(x,y)=-ax-by",
    "U(x,y)=(x-a)^2",
    "U(x,y)=(y-a)^2",
    "U(x,y)=tanh((x-a)/b)",
    "U(x,y)=tanh((y-a)/b)",
};
inline constexpr const char* pairFormulas[PairShapeCount] = {
    "U(r)=1/r (r>=a), U(r)=1/2a*(3-r^2/a^2) (r<a)",
    "U(r)=(r/b)^a",
    "U(r)=(r/b)^a*exp(-r/c)",
    "U(r)=1-tanh((r-a)/b)",
    "U(r)=exp(-2(r-a)/b)-2exp(-(r-a)/b)",
    "U(r)=exp(-(r-a)^2/2b^2)",
    "U(r)=1/(1+(r-a)^2/b^2)",
};

// Value or gradient of one of the step shapes tanh((s - a) / b) along s.
inline double tanhStep(double s, double a, double b, bool gradient) {
    if (!gradient) return std::tanh((s - a) / b);
    double ch = std::cosh((s - a) / b);
    return (1 / b) / (ch * ch);
}

// Potential of an external field at (x, y). A shape outside the list is 0.
inline double externalPotential(double x, double y, double a, double b, int query, int shape) {
    const auto q = static_cast<PotentialQuery>(query);
    switch (static_cast<ExternalShape>(shape)) {
    case ExternalShape::UniformField:
        switch (q) {
        case PotentialQuery::Value: return -(x * a) - y * b;
        case PotentialQuery::GradX: return -a;
        case PotentialQuery::GradY: return -b;
        default: return 0;
        }
    case ExternalShape::QuadraticX:
        switch (q) {
        case PotentialQuery::Value: return (x - a) * (x - a);
        case PotentialQuery::GradX: return 2 * (x - a);
        default: return 0;
        }
    case ExternalShape::QuadraticY:
        switch (q) {
        case PotentialQuery::Value: return (y - a) * (y - a);
        case PotentialQuery::GradY: return 2 * (y - a);
        default: return 0;
        }
    case ExternalShape::TanhX:
        switch (q) {
        case PotentialQuery::Value: return tanhStep(x, a, b, false);
        case PotentialQuery::GradX: return tanhStep(x, a, b, true);
        default: return 0;
        }
    case ExternalShape::TanhY:
        switch (q) {
        case PotentialQuery::Value: return tanhStep(y, a, b, false);
        case PotentialQuery::GradY: return tanhStep(y, a, b, true);
        default: return 0;
        }
    default:
        return 0;
    }
}

// Potential of a pair at separation (dx, dy) = (xi - xj, yi - yj), with
// r = sqrt(dx^2 + dy^2) supplied by the caller. Every gradient is
// dU/dr * d / r, where d is dx for GradX and dy for GradY. A shape outside
// the list is 0.
inline double pairPotential(double dx, double dy, double a, double b, double c, double r,
                            int query, int shape) {
    const auto q = static_cast<PotentialQuery>(query);
    if (q != PotentialQuery::Value && q != PotentialQuery::GradX && q != PotentialQuery::GradY) return 0;
    const bool value = q == PotentialQuery::Value;
    const double d = q == PotentialQuery::GradX ? dx : dy;
    switch (static_cast<PairShape>(shape)) {
    case PairShape::ChargedSphere:
        // Inside the sphere the value uses dx^2 + dy^2 rather than r; both
        // branches meet with equal value and gradient at r = a.
        if (r >= a) return value ? 1 / r : -d / (r * r * r);
        return value ? (3 - (dx * dx + dy * dy) / (a * a)) * (0.5 / a) : -d / (a * a * a);
    case PairShape::Power:
        if (value) return std::pow(r / b, a);
        return a * d * std::pow(r / b, a - 2) / (b * b);
    case PairShape::PowerExp:
        if (value) return std::pow(r / b, a) * std::exp(-r / c);
        return std::exp(-r / c) * d * (a * std::pow(r / b, a - 2) / (b * b) - std::pow(r / b, a) / (r * c));
    case PairShape::Tanh: {
        const double t = (r - a) / b;
        if (value) return 1 - std::tanh(t);
        const double ch = std::cosh(t);
        return -d / (r * b * (ch * ch));
    }
    case PairShape::Morse: {
        const double e2 = std::exp(2 * (a - r) / b);
        const double e1 = std::exp((a - r) / b);
        if (value) return e2 - 2 * e1;
        return (e2 - e1) * (-2 * d / (b * r));
    }
    case PairShape::Gaussian: {
        const double g = std::exp(-0.5 * (r - a) * (r - a) / (b * b));
        if (value) return g;
        return -g * (r - a) * d / (b * b * r);
    }
    case PairShape::Lorentzian: {
        const double l = 1 + (r - a) * (r - a) / (b * b);
        if (value) return 1 / l;
        return -2 * d * (r - a) / (r * (b * b) * (l * l));
    }
    default:
        return 0;
    }
}
