// A fresh arena per test, built under a test clock and an injected calendar time,
// and torn down afterwards.
#pragma once

#include "arena/records.h"

#include <gtest/gtest.h>

#include <cstdint>

class ArenaTest : public ::testing::Test {
protected:
    static constexpr int64_t defaultCalendarTime = 1765000000;

    void SetUp() override;
    void TearDown() override;

    // Builds the scene with the given calendar time (the seed of the layout).
    void buildScene(int64_t calendarTime = defaultCalendarTime);

    // Geoms in the space.
    static int geomCount();
    // Bodies in the world: the bodies the records hold.
    static int bodyCount();
    // True when no body position or velocity is NaN or infinite.
    static bool allFinite();
};

// A point's distance from a body position.
::testing::AssertionResult bodyAt(dBodyID body, double x, double y, double z, double tolerance = 1e-9);
