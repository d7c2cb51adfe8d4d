#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "core/simulation.h"
#include "model/runtime_error.h"
#include "model/surface.h"

/// A surface that keeps every line drawn on it.
class RecordingSurface : public Surface {
public:
    struct Line {
        double x1, y1, x2, y2;
        std::int32_t colour;
    };
    std::vector<Line> lines;

    void Line(double x1, double y1, double x2, double y2, std::int32_t colour) override
    {
        lines.push_back({x1, y1, x2, y2, colour});
    }
};

/// A surface that draws nothing.
class NullSurface : public Surface {
public:
    void Line(double, double, double, double, std::int32_t) override {}
};

/// Owners of broken springs, one entry per spring.
inline std::vector<int> brokenOwners(Simulation& sim)
{
    std::vector<int> owners;
    for (int i = sim.LBound(); i <= sim.UBound(); ++i)
        for (int n = 1; n <= sim.Masses(i).SpringCount(); ++n)
            if (sim.Masses(i).GetSpring(n)->Broken)
                owners.push_back(i);
    return owners;
}

/// Runs the statement and expects it to raise the run-time error number.
#define EXPECT_RUNTIME_ERROR(statement, number)                                          \
    do {                                                                                 \
        try {                                                                            \
            statement;                                                                   \
            ADD_FAILURE() << #statement " raised no run-time error, expected " << number; \
        } catch (const RuntimeError& e) {                                                \
            EXPECT_EQ(e.Number(), number) << #statement ": " << e.what();                \
        }                                                                                \
    } while (false)
