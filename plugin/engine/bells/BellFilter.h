#pragma once

namespace vo::plugins::zel
{

// Coefficients of one trapezoidal state-variable bell, plus the ramp that glides
// them to a new gain over one tick. The filter state lives apart (BellState) so
// the per-sample chain streams through the states in band order.
struct BellFilter
{
    double g = 0.0;
    double k = 0.0;
    double m1 = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;
    double a3 = 0.0;
    float A = 1.0f;
    double dm1 = 0.0, da1 = 0.0;
    double kTarget = 0.0, m1Target = 0.0, a1Target = 0.0;
    bool ramping = false;
};

struct BellState
{
    double ic1eq = 0.0;
    double ic2eq = 0.0;
};

} // namespace vo::plugins::zel
