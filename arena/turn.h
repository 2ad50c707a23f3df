// The simulation's share of one main-loop turn. The shell runs these between its
// own steps (held keys and the frame-rate count before the game step, one
// message or one frame before the end); headless runs call simulateTurn.
#pragma once

// Step 1: the demonstration update.
void turnStartSteps();

// Steps 5 to 10: the game step, the building-hit check, the collision pass,
// one physics step of TStepSz, the sounds of this step's contacts, and the
// emptying of the contact group.
void turnSimulationSteps();

// Step 12: every plane's ray-hit flag is cleared.
void turnEndSteps();

// A whole turn without a window: the three parts above in order.
void simulateTurn();
