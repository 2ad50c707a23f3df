// A* route search over the 25 x 25 arena grid. One grid of search records and
// one open list serve all planes; both hold search state only while findPath
// runs and are left cleared after every search.
#pragma once

#include <cstdint>

struct OpenNode {
    int32_t F;
    int32_t x, y;
};

constexpr int openListSlots = 9999;

// Binary min-heap on F in slots 1 to count; slot 0 is never used. A node pushed
// with the same F as a node above it rises past it; a sinking node passes a
// child of equal F, and of two equal children takes the right one.
struct OpenList {
    int32_t count;
    OpenNode nodes[openListSlots];
    void push(int F, int x, int y);
    void pop();
};

extern OpenList openList;
extern int32_t startX, startY, goalX, goalY;
extern uint8_t pathFound;

// Searches from (startX, startY) to (goalX, goalY) and sets pathFound. On
// success the route is written into the plane's record, goal first (entry 0)
// and start last (entry pathLength). A cell outside the grid, a start equal to
// the goal, or a start or goal on a block finds no route and touches nothing.
void findPath(int plane);

// Empties the open list and clears the search fields of every cell, leaving
// the block and pillar marks.
void resetGrid();

void resetPathSearch();
