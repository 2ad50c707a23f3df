#include "arena_fixture.h"

#include "arena/path_search.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <random>
#include <vector>

namespace {

class PathSearchTest : public ArenaTest {
protected:
    void SetUp() override
    {
        ArenaTest::SetUp();
        clearGrid();
    }

    static void clearGrid()
    {
        for (auto& column : grid)
            for (auto& cell : column)
                cell = GridCell{};
        openList.count = 0;
    }

    static void search(int plane, int sx, int sy, int gx, int gy)
    {
        startX = sx;
        startY = sy;
        goalX = gx;
        goalY = gy;
        findPath(plane);
    }

    static std::vector<std::pair<int, int>> route(int plane)
    {
        std::vector<std::pair<int, int>> cells;
        for (int k = 0; k <= planes[plane].pathLength; ++k)
            cells.emplace_back(planes[plane].pathX[k], planes[plane].pathY[k]);
        return cells;
    }

    static ::testing::AssertionResult gridIsClean()
    {
        if (openList.count != 0)
            return ::testing::AssertionFailure() << "open list holds " << openList.count;
        for (int x = 0; x < gridSize; ++x)
            for (int y = 0; y < gridSize; ++y) {
                const GridCell& c = grid[x][y];
                if (c.listState || c.G || c.H || c.F || c.parentX || c.parentY)
                    return ::testing::AssertionFailure() << "cell " << x << "," << y << " not clean";
            }
        return ::testing::AssertionSuccess();
    }

    // A marker route that a failed search must leave alone.
    static void markRoute(int plane)
    {
        planes[plane].pathLength = 3;
        for (int k = 0; k <= 3; ++k) {
            planes[plane].pathX[k] = 20 + k;
            planes[plane].pathY[k] = 1;
        }
    }
};

// Cells the search may reach from the start with its own moves: 8-neighbours,
// no block, no diagonal past a block's corner.
bool reachable(int sx, int sy, int gx, int gy)
{
    bool seen[gridSize][gridSize] = {};
    std::deque<std::pair<int, int>> queue{{sx, sy}};
    seen[sx][sy] = true;
    while (!queue.empty()) {
        auto [cx, cy] = queue.front();
        queue.pop_front();
        if (cx == gx && cy == gy)
            return true;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                int nx = cx + dx;
                int ny = cy + dy;
                if (!cellInGrid(nx, ny) || seen[nx][ny] || grid[nx][ny].block)
                    continue;
                if (dx && dy && (grid[nx][cy].block || grid[cx][ny].block))
                    continue;
                seen[nx][ny] = true;
                queue.emplace_back(nx, ny);
            }
    }
    return false;
}

} // namespace

TEST_F(PathSearchTest, HeapPopsInOrderAndBreaksTiesAsDescribed)
{
    std::mt19937 rng(7);
    std::vector<int> keys;
    for (int i = 0; i < 500; ++i) {
        keys.push_back(static_cast<int>(rng() % 60));
        openList.push(keys.back(), i, 0);
    }
    std::sort(keys.begin(), keys.end());
    for (int key : keys) {
        ASSERT_GT(openList.count, 0);
        EXPECT_EQ(openList.nodes[1].F, key);
        openList.pop();
    }
    EXPECT_EQ(openList.count, 0);

    // A node pushed with the same F as the top becomes the top.
    openList.push(5, 1, 1);
    openList.push(5, 2, 2);
    EXPECT_EQ(openList.nodes[1].x, 2);
    // Popping: the node that sinks passes a child of equal F, and of two equal
    // children the right one rises.
    openList.count = 0;
    openList.push(1, 0, 0);
    openList.push(4, 1, 0);
    openList.push(4, 2, 0);
    openList.push(4, 3, 0);
    // Slots now: (1, x0) (4, x3) (4, x2) (4, x1); the last node moves to the top,
    // passes its equal left child and swaps with the equal right one.
    ASSERT_EQ(openList.nodes[2].x, 3);
    openList.pop();
    EXPECT_EQ(openList.nodes[1].x, 2);
    EXPECT_EQ(openList.nodes[2].x, 3);
    EXPECT_EQ(openList.nodes[3].x, 1);
    // A list of one node is empty after a pop; popping an empty list keeps it so.
    openList.count = 0;
    openList.push(3, 0, 0);
    openList.pop();
    EXPECT_EQ(openList.count, 0);
    openList.pop();
    EXPECT_EQ(openList.count, 0);
}

TEST_F(PathSearchTest, FixedRoutes)
{
    // Adjacent goal: two entries, goal first.
    search(2, 10, 10, 11, 10);
    ASSERT_EQ(pathFound, 1);
    EXPECT_EQ(planes[2].pathLength, 1);
    EXPECT_EQ(route(2), (std::vector<std::pair<int, int>>{{11, 10}, {10, 10}}));
    EXPECT_TRUE(gridIsClean());

    // No diagonal step past the corner of a block.
    grid[6][5].block = 1;
    search(2, 5, 5, 6, 6);
    ASSERT_EQ(pathFound, 1);
    EXPECT_EQ(route(2), (std::vector<std::pair<int, int>>{{6, 6}, {5, 6}, {5, 5}}));
    EXPECT_TRUE(gridIsClean());

    // Pillars do not stop a route; grid edges are reachable.
    grid[1][0].pillar = 1;
    search(4, 0, 0, 24, 24);
    ASSERT_EQ(pathFound, 1);
    EXPECT_EQ(route(4).front(), std::make_pair(24, 24));
    EXPECT_EQ(route(4).back(), std::make_pair(0, 0));
    EXPECT_TRUE(gridIsClean());

    // Around a wall on (10, 10) to (10, 12), worked out step by step.
    // Start (12, 12), goal (8, 10): the ways below and above the wall reach F 74
    // together, at (11, 13) and at (11, 9); below wins only with the rows visited
    // from y - 1 to y + 1, the heap's tie rules, an equal cost keeping the first
    // parent and an estimate of 10 a cell.
    // Start (15, 9), goal (9, 12): below the wall, (11, 13) comes up at F 86
    // (G 56, three diagonals and a straight step) before the row above at F 90;
    // diagonal steps of 15 would tie them at 90 and send the route above.
    clearGrid();
    for (int y = 10; y <= 12; ++y)
        grid[10][y].block = 1;
    struct Case {
        int sx, sy, gx, gy;
        std::vector<std::pair<int, int>> route;
    };
    const Case cases[] = {
        {12, 12, 8, 10, {{8, 10}, {8, 11}, {8, 12}, {9, 13}, {10, 13}, {11, 13}, {12, 12}}},
        {15, 9, 9, 12,
         {{9, 12}, {9, 13}, {10, 13}, {11, 13}, {12, 12}, {13, 11}, {14, 10}, {15, 9}}},
    };
    for (const auto& c : cases) {
        search(5, c.sx, c.sy, c.gx, c.gy);
        ASSERT_EQ(pathFound, 1);
        EXPECT_EQ(route(5), c.route) << c.sx << "," << c.sy;
        EXPECT_TRUE(gridIsClean());
    }
}

TEST_F(PathSearchTest, SearchesWithoutARouteLeaveRouteAndGridAlone)
{
    markRoute(1);
    const auto marked = route(1);
    grid[12][12].block = 1;
    grid[3][3].block = 1;
    // Start equal to goal, goal on a block, start on a block.
    search(1, 7, 7, 7, 7);
    EXPECT_EQ(pathFound, 0);
    search(1, 7, 7, 12, 12);
    EXPECT_EQ(pathFound, 0);
    search(1, 3, 3, 7, 7);
    EXPECT_EQ(pathFound, 0);
    EXPECT_EQ(route(1), marked);
    EXPECT_TRUE(gridIsClean());

    // A goal walled in by blocks: every reachable cell is searched, none found.
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (dx || dy)
                grid[20 + dx][20 + dy].block = 1;
    search(1, 2, 2, 20, 20);
    EXPECT_EQ(pathFound, 0);
    EXPECT_EQ(route(1), marked);
    EXPECT_TRUE(gridIsClean());
    // The next search runs as on a fresh grid.
    search(1, 2, 2, 4, 2);
    EXPECT_EQ(pathFound, 1);

    // Cells off the grid (a plane through a wall, a position that is no number)
    // find nothing and touch nothing.
    markRoute(1);
    const int offGrid[][4] = {{-1, 5, 6, 6}, {5, 25, 6, 6}, {5, 5, 25, 6}, {5, 5, 6, -1},
                              {100000, 5, 6, 6}, {5, 5, 6, -2147483647}};
    for (const auto& c : offGrid) {
        pathFound = 1;
        search(1, c[0], c[1], c[2], c[3]);
        EXPECT_EQ(pathFound, 0);
        EXPECT_EQ(route(1), marked);
        EXPECT_TRUE(gridIsClean());
    }
}

TEST_F(PathSearchTest, RoutesOverRandomLayoutsAreSoundAndFoundWhenReachable)
{
    std::mt19937 rng(20240611);
    int found = 0;
    int refused = 0;
    for (int layout = 0; layout < 300; ++layout) {
        clearGrid();
        const unsigned density = 10 + layout % 35;  // percent of cells blocked
        for (int x = 0; x < gridSize; ++x)
            for (int y = 0; y < gridSize; ++y)
                grid[x][y].block = rng() % 100 < density;
        for (int trial = 0; trial < 5; ++trial) {
            int sx = rng() % gridSize, sy = rng() % gridSize;
            int gx = rng() % gridSize, gy = rng() % gridSize;
            int plane = static_cast<int>(rng() % planeCount);
            markRoute(plane);
            search(plane, sx, sy, gx, gy);
            ASSERT_TRUE(gridIsClean());
            bool expected = (sx != gx || sy != gy) && !grid[sx][sy].block && !grid[gx][gy].block &&
                            reachable(sx, sy, gx, gy);
            ASSERT_EQ(pathFound == 1, expected) << "layout " << layout << " trial " << trial;
            if (!pathFound) {
                ++refused;
                continue;
            }
            ++found;
            auto cells = route(plane);
            ASSERT_EQ(cells.front(), std::make_pair(gx, gy));
            ASSERT_EQ(cells.back(), std::make_pair(sx, sy));
            ASSERT_LE(cells.size(), 625u);
            for (size_t k = 0; k < cells.size(); ++k) {
                auto [x, y] = cells[k];
                ASSERT_TRUE(cellInGrid(x, y));
                ASSERT_FALSE(grid[x][y].block);
                ASSERT_EQ(std::count(cells.begin(), cells.end(), cells[k]), 1);
                if (k == 0)
                    continue;
                auto [px, py] = cells[k - 1];
                ASSERT_LE(std::abs(x - px), 1);
                ASSERT_LE(std::abs(y - py), 1);
                ASSERT_TRUE(x != px || y != py);
                if (x != px && y != py) {
                    ASSERT_FALSE(grid[px][y].block) << "cuts a corner";
                    ASSERT_FALSE(grid[x][py].block) << "cuts a corner";
                }
            }
        }
    }
    // The layouts give both outcomes plenty of times.
    EXPECT_GT(found, 300);
    EXPECT_GT(refused, 100);
}
