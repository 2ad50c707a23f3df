#include "arena/path_search.h"

OpenList openList;
int32_t startX, startY, goalX, goalY;
uint8_t pathFound;

void OpenList::push(int, int, int) {}
void OpenList::pop() {}
void findPath(int) {}
void resetGrid() {}
void resetPathSearch() {}
