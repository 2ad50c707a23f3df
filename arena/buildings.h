// The seven buildings: stacks of floors of five loose boxes, raised in rounds on
// the places of the arena's blocks.
#pragma once

#include <cstdint>

extern uint8_t buildingsBuilt;  // set by every round of blocksToBuildings
extern int32_t BuildingHit;     // buildings found hit since start

// Raises building `index` with `floors` floors (at most 99) around the footprint
// centre (x, y), in colour (r, g, b). Reseeds the random generator.
void buildBuilding(int index, int floors, float x, float y, float r, float g, float b);

// Tears all seven buildings down; every caller raises them again at once.
void destroyBuildings();

// Raises one round of seven buildings on the places of blocks.
void blocksToBuildings();

// The round check of every turn: notices each building's test box waking, and
// raises the next round once all seven have been hit more than 10 s ago.
void checkBuildingHits();

// Raises the row of seven random buildings at and beyond the edge y = 0.
void buildBuildingRow();

// Puts the counters and flags of this file back to their start values.
void resetBuildingState();
