// Loaders of the content files: graphic descriptions and the master graphics list,
// enemy descriptions and the master enemies list, the deployment orders.
#ifndef STARLANE_CONTENT_CONTENT_H
#define STARLANE_CONTENT_CONTENT_H

// Positions, box edges, offsets, speeds and velocities read from content lie within this many
// pixels either way: a frame adds a few of them to a position, and the sums must fit an int.
#define CONTENT_COORDINATE_LIMIT 100000

struct Graphic;
struct Enemy;

int loadGraphic(Graphic* graphic, const char* fileName, int x, int y);   // one description file
int loadMasterGraphics(const char* fileName);                 // fills masterGraphics
int loadEnemy(Enemy* enemy, const char* fileName);            // one enemy template
int loadMasterEnemies(const char* fileName);                  // fills masterEnemies
int loadDeploymentOrders(const char* fileName);               // fills deploymentOrders, arms the scheduler

#endif
