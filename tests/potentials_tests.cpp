#include <gtest/gtest.h>

#include <cmath>

#include "potentials.h"

namespace {
constexpr int Value = 0, GradX = 1, GradY = 2;

int shape(ExternalShape s) { return static_cast<int>(s); }
int shape(PairShape s) { return static_cast<int>(s); }

double pair(PairShape s, double dx, double dy, double a, double b, double c, int query) {
    return pairPotential(dx, dy, a, b, c, std::sqrt(dx * dx + dy * dy), query, shape(s));
}

TEST(ExternalPotential, UniformFieldValueAndGradient) {
    EXPECT_EQ(externalPotential(3, 4, 2, 5, Value, shape(ExternalShape::UniformField)), -26);
    EXPECT_EQ(externalPotential(3, 4, 2, 5, GradX, shape(ExternalShape::UniformField)), -2);
    EXPECT_EQ(externalPotential(3, 4, 2, 5, GradY, shape(ExternalShape::UniformField)), -5);
}

TEST(ExternalPotential, OneAxisShapesHaveNoGradientAcross) {
    for (double x : {-7.0, 0.0, 13.5})
        for (double y : {-2.0, 4.0}) {
            EXPECT_EQ(externalPotential(x, y, 3, 2, GradY, shape(ExternalShape::QuadraticX)), 0);
            EXPECT_EQ(externalPotential(x, y, 3, 2, GradX, shape(ExternalShape::QuadraticY)), 0);
            EXPECT_EQ(externalPotential(x, y, 3, 2, GradY, shape(ExternalShape::TanhX)), 0);
            EXPECT_EQ(externalPotential(x, y, 3, 2, GradX, shape(ExternalShape::TanhY)), 0);
        }
    EXPECT_EQ(externalPotential(5, 0, 2, 0, Value, shape(ExternalShape::QuadraticX)), 9);
    EXPECT_EQ(externalPotential(5, 0, 2, 0, GradX, shape(ExternalShape::QuadraticX)), 6);
    EXPECT_EQ(externalPotential(0, 7, 3, 2, Value, shape(ExternalShape::TanhY)), std::tanh(2.0));
}

TEST(PairPotential, ChargedSphereBranches) {
    const int sphere = shape(PairShape::ChargedSphere);
    EXPECT_EQ(pairPotential(2, 0, 1, 0, 0, 2, Value, sphere), 0.5);
    EXPECT_EQ(pairPotential(2, 0, 1, 0, 0, 2, GradX, sphere), -0.25);
    EXPECT_EQ(pairPotential(0.5, 0, 1, 0, 0, 0.5, Value, sphere), 1.375);
    EXPECT_EQ(pairPotential(0.5, 0, 1, 0, 0, 0.5, GradX, sphere), -0.5);
    EXPECT_EQ(pairPotential(0, 0, 1, 0, 0, 0, Value, sphere), 1.5);
    EXPECT_EQ(pairPotential(0, 0, 1, 0, 0, 0, GradX, sphere), 0);
    EXPECT_EQ(pairPotential(0, 0, 1, 0, 0, 0, GradY, sphere), 0);
    // At r = a the outer branch is taken, and both branches meet there.
    EXPECT_EQ(pairPotential(0, 2, 2, 0, 0, 2, Value, sphere), 0.5);
    EXPECT_EQ(pairPotential(0, 2, 2, 0, 0, 2, GradY, sphere), -0.25);
    EXPECT_NEAR(pairPotential(0, 1.9999999, 2, 0, 0, 1.9999999, Value, sphere), 0.5, 1e-7);
    // The inner value uses dx^2 + dy^2, not the r the caller passes.
    EXPECT_EQ(pairPotential(0.5, 0, 1, 0, 0, 0.25, Value, sphere), 1.375);
}

// At the separation (3, 4), r = 5: Morse at the bottom of its well (r = a:
// value -1, no force); Gaussian, Lorentzian and Tanh at their centre r = a
// (value 1); Power (r / b)^a = 25 with gradient a d (r / b)^(a-2) / b^2;
// PowerExp at r = b = c, e^-1. Far inside its step (r << a) Tanh tends to 2.
TEST(PairPotential, ValuesAtTheWellBottomCentreAndScaleDistance) {
    EXPECT_EQ(pair(PairShape::Morse, 3, 4, 5, 2, 0, Value), -1);
    EXPECT_EQ(pair(PairShape::Morse, 3, 4, 5, 2, 0, GradX), 0);
    EXPECT_EQ(pair(PairShape::Morse, 3, 4, 5, 2, 0, GradY), 0);
    EXPECT_DOUBLE_EQ(pair(PairShape::Power, 3, 4, 2, 1, 0, Value), 25);
    EXPECT_DOUBLE_EQ(pair(PairShape::Power, 3, 4, 2, 1, 0, GradX), 6);
    EXPECT_DOUBLE_EQ(pair(PairShape::Power, 3, 4, 2, 1, 0, GradY), 8);
    EXPECT_EQ(pair(PairShape::Gaussian, 3, 4, 5, 2, 0, Value), 1);
    EXPECT_EQ(pair(PairShape::Lorentzian, 3, 4, 5, 2, 0, Value), 1);
    EXPECT_EQ(pair(PairShape::Tanh, 3, 4, 5, 2, 0, Value), 1);
    EXPECT_NEAR(pair(PairShape::Tanh, 0, 1, 50, 2, 0, Value), 2, 1e-12);
    EXPECT_NEAR(pair(PairShape::PowerExp, 3, 4, 1, 5, 5, Value), std::exp(-1.0), 1e-15);
}

TEST(Potentials, ShapesAndQueriesOutsideTheListsAreZero) {
    for (int badShape : {-1, 5, 100})
        for (int query : {Value, GradX, GradY}) EXPECT_EQ(externalPotential(3, 4, 1, 1, query, badShape), 0);
    for (int badShape : {-1, 7, 100})
        for (int query : {Value, GradX, GradY}) EXPECT_EQ(pairPotential(3, 4, 1, 1, 1, 5, query, badShape), 0);
    EXPECT_EQ(externalPotential(3, 4, 1, 1, 3, shape(ExternalShape::QuadraticX)), 0);
    EXPECT_EQ(pairPotential(3, 4, 1, 1, 1, 5, -1, shape(PairShape::Power)), 0);
}

// Central differences of the value against every analytic gradient, at
// points away from the sphere's seam.
double centralDifference(double plus, double minus, double step) { return (plus - minus) / (2 * step); }

TEST(Potentials, GradientsMatchFiniteDifferencesOfTheValue) {
    const double step = 1e-6;
    struct ExternalCase { ExternalShape s; double a, b; };
    const ExternalCase externals[] = {
        {ExternalShape::UniformField, 0.7, -1.3}, {ExternalShape::QuadraticX, 2.5, 0},
        {ExternalShape::QuadraticY, -1.5, 0},    {ExternalShape::TanhX, 1.0, 3.0},
        {ExternalShape::TanhY, 2.0, 1.5},
    };
    for (const ExternalCase& e : externals)
        for (double x : {-3.1, 0.4, 2.9})
            for (double y : {-1.7, 1.2, 4.4}) {
                auto U = [&](double px, double py) { return externalPotential(px, py, e.a, e.b, Value, shape(e.s)); };
                const double gx = externalPotential(x, y, e.a, e.b, GradX, shape(e.s));
                const double gy = externalPotential(x, y, e.a, e.b, GradY, shape(e.s));
                EXPECT_NEAR(gx, centralDifference(U(x + step, y), U(x - step, y), step), 1e-6 * (1 + std::fabs(gx)))
                    << "external shape " << shape(e.s) << " at " << x << "," << y;
                EXPECT_NEAR(gy, centralDifference(U(x, y + step), U(x, y - step), step), 1e-6 * (1 + std::fabs(gy)))
                    << "external shape " << shape(e.s) << " at " << x << "," << y;
            }

    struct PairCase { PairShape s; double a, b, c; };
    const PairCase pairs[] = {
        {PairShape::ChargedSphere, 2.0, 0, 0},  // inside at small r, outside at large r
        {PairShape::ChargedSphere, 0.0, 0, 0},  // plain 1/r
        {PairShape::Power, 1.7, 2.0, 0},        {PairShape::Power, -0.5, 1.5, 0},
        {PairShape::PowerExp, 1.3, 2.0, 3.0},   {PairShape::Tanh, 2.5, 0.8, 0},
        {PairShape::Morse, 2.0, 1.2, 0},        {PairShape::Gaussian, 1.5, 0.9, 0},
        {PairShape::Lorentzian, 2.2, 0.7, 0},
    };
    for (const PairCase& p : pairs)
        for (double dx : {-2.3, 0.6, 3.7})
            for (double dy : {-0.4, 0.9, 2.1}) {
                auto U = [&](double x, double y) { return pair(p.s, x, y, p.a, p.b, p.c, Value); };
                const double gx = pair(p.s, dx, dy, p.a, p.b, p.c, GradX);
                const double gy = pair(p.s, dx, dy, p.a, p.b, p.c, GradY);
                EXPECT_NEAR(gx, centralDifference(U(dx + step, dy), U(dx - step, dy), step), 1e-6 * (1 + std::fabs(gx)))
                    << "pair shape " << shape(p.s) << " at " << dx << "," << dy;
                EXPECT_NEAR(gy, centralDifference(U(dx, dy + step), U(dx, dy - step), step), 1e-6 * (1 + std::fabs(gy)))
                    << "pair shape " << shape(p.s) << " at " << dx << "," << dy;
            }
}

}  // namespace
