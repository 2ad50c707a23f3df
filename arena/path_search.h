// A* route search over the 25 x 25 arena grid.
#pragma once

#include <cstdint>

struct OpenNode {
    int32_t F;
    int32_t x, y;
};

// Binary min-heap on F in slots 1 to count; slot 0 is never used.
struct OpenList {
    int32_t count;
    OpenNode nodes[9999];
    void push(int F, int x, int y);
    void pop();
};

extern OpenList openList;
extern int32_t startX, startY, goalX, goalY;
extern uint8_t pathFound;

void findPath(int plane);
void resetGrid();

void resetPathSearch();
