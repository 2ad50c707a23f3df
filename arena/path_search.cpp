#include "arena/path_search.h"

#include "arena/records.h"

#include <cstdlib>
#include <utility>

OpenList openList;
int32_t startX, startY, goalX, goalY;
uint8_t pathFound;

namespace {

constexpr int straightCost = 10;
constexpr int diagonalCost = 14;

enum ListState : int32_t { unvisited = 0, open = 1, closed = 2 };

bool blocked(int x, int y)
{
    return grid[x][y].block != 0;
}

// Follows the parents back from the goal and writes the route.
void writeRoute(Plane& plane)
{
    plane.pathX[0] = goalX;
    plane.pathY[0] = goalY;
    int k = 1;
    int x = goalX;
    int y = goalY;
    for (;;) {
        const GridCell& cell = grid[x][y];
        x = cell.parentX;
        y = cell.parentY;
        plane.pathX[k] = x;
        plane.pathY[k] = y;
        if (x == startX && y == startY)
            break;
        ++k;
    }
    plane.pathLength = k;
}

// Opens, or improves, neighbour (nx, ny) of the closed cell (cx, cy).
void visit(int cx, int cy, int nx, int ny)
{
    if (nx < 0 || nx >= gridSize || ny < 0 || ny >= gridSize)
        return;
    GridCell& cell = grid[nx][ny];
    if (cell.listState == closed || cell.block)
        return;
    bool diagonal = nx != cx && ny != cy;
    // A diagonal step never cuts the corner of a block.
    if (diagonal && (blocked(nx, cy) || blocked(cx, ny)))
        return;
    int newG = grid[cx][cy].G + (diagonal ? diagonalCost : straightCost);
    if (cell.listState == open) {
        // An equal cost keeps the earlier parent. The node pushed earlier stays in
        // the heap; when it comes up its cell is closed and it opens nothing.
        if (newG < cell.G) {
            cell.G = newG;
            cell.parentX = cx;
            cell.parentY = cy;
            openList.push(newG + cell.H, nx, ny);
        }
        return;
    }
    cell.G = newG;
    cell.H = straightCost * (std::abs(nx - goalX) + std::abs(ny - goalY));
    cell.F = cell.G + cell.H;
    cell.parentX = cx;
    cell.parentY = cy;
    openList.push(cell.F, nx, ny);
    cell.listState = open;
}

} // namespace

void OpenList::push(int F, int x, int y)
{
    // A search holds at most 1 + 8 x 625 nodes; a full list takes no more.
    if (count >= openListSlots - 1)
        return;
    count += 1;
    nodes[count] = OpenNode{F, x, y};
    for (int c = count; c != 1;) {
        int p = c / 2;
        if (nodes[c].F > nodes[p].F)
            break;
        std::swap(nodes[c], nodes[p]);
        c = p;
    }
}

void OpenList::pop()
{
    if (count <= 1) {
        count = 0;
        return;
    }
    nodes[1] = nodes[count];
    count -= 1;
    int u = 1;
    for (;;) {
        int v = u;
        if (2 * u + 1 <= count) {
            if (nodes[u].F >= nodes[2 * u].F)
                v = 2 * u;
            if (nodes[v].F >= nodes[2 * u + 1].F)
                v = 2 * u + 1;
        } else if (2 * u <= count) {
            if (nodes[u].F >= nodes[2 * u].F)
                v = 2 * u;
        }
        if (v == u)
            return;
        std::swap(nodes[u], nodes[v]);
        u = v;
    }
}

void resetGrid()
{
    openList.count = 0;
    for (auto& column : grid) {
        for (auto& cell : column) {
            cell.listState = unvisited;
            cell.G = 0;
            cell.H = 0;
            cell.F = 0;
            cell.parentX = 0;
            cell.parentY = 0;
        }
    }
}

void findPath(int plane)
{
    pathFound = 0;
    // A plane pushed through a wall, or one at a position that is not a number,
    // has no cell of the grid: there is nothing to search.
    if (plane < 0 || plane >= planeCount || !cellInGrid(startX, startY) || !cellInGrid(goalX, goalY))
        return;
    if (startX == goalX && startY == goalY)
        return;
    if (blocked(startX, startY) || blocked(goalX, goalY))
        return;

    grid[startX][startY].listState = open;
    openList.push(0, startX, startY);
    for (;;) {
        if (openList.count == 0) {
            resetGrid();
            return;
        }
        int cx = openList.nodes[1].x;
        int cy = openList.nodes[1].y;
        grid[cx][cy].listState = closed;
        openList.pop();
        for (int ny = cy - 1; ny <= cy + 1; ++ny)
            for (int nx = cx - 1; nx <= cx + 1; ++nx)
                if (nx != cx || ny != cy)
                    visit(cx, cy, nx, ny);
        // The search ends as soon as the goal is on the open list.
        if (grid[goalX][goalY].listState == open) {
            pathFound = 1;
            writeRoute(planes[plane]);
            resetGrid();
            return;
        }
    }
}

void resetPathSearch()
{
    resetGrid();
    startX = startY = goalX = goalY = 0;
    pathFound = 0;
}
