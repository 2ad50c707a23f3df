// Construction of the arena and its release.
#pragma once

// One colour component from the shared generator: 1 when rand % 100 is 70 or
// more, otherwise 0.
float randomColourComponent();

// Where ODE's own error reports go before the program ends on them: the shell
// shows them in a box. Without a reporter they go to stderr.
void setOdeErrorReport(void (*report)(const char* text));

// Builds the ODE world and everything in it, once per run.
void initScene();

// Destroys the contact group, the space and the world, and closes ODE. The
// records keep their (now dangling) handles; see destroyScene.
void shutdownWorld();

// Tears the whole arena down and puts every record, counter and tunable of the
// simulation back to its start value, so that initScene can run again in the
// same process.
void destroyScene();

// True between initScene and shutdownWorld.
bool sceneExists();
