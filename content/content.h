// Loaders of the content files: graphic descriptions and the master graphics list,
// enemy descriptions and the master enemies list, the deployment orders, read through one
// reader (textread.h). It includes bitmap/, graphics/ and the game's records and contract;
// the game loads its world with it at start-up and the checker runs each loader on its own.
#ifndef STARLANE_CONTENT_CONTENT_H
#define STARLANE_CONTENT_CONTENT_H

// Positions, box edges, offsets, speeds and velocities read from content lie within this many
// pixels either way: a frame adds a few of them to a position, and the sums must fit an int.
#define CONTENT_COORDINATE_LIMIT 100000
#define CONTENT_NAME_LENGTH 50      // characters of a file name the loaders take
#define CONTENT_MAX_FRAME_SIDE 8192 // pixels: the widest and tallest surface the display makes
// Bytes of frame pictures one master graphics list may load, all graphics together; real
// content needs well under a megabyte.
#define CONTENT_FRAME_MEMORY_LIMIT (64LL * 1024 * 1024)

extern long long contentFrameBytes; // frame bytes loaded since the master list was started

struct Graphic;
struct Enemy;

int loadGraphic(Graphic* graphic, const char* fileName, int x, int y); // one description file
int loadMasterGraphics(const char* fileName);                          // fills masterGraphics
int loadEnemy(Enemy* enemy, const char* fileName);                     // one enemy template
int loadMasterEnemies(const char* fileName);                           // fills masterEnemies
int loadDeploymentOrders(const char* fileName); // fills deploymentOrders, arms the scheduler

#endif
