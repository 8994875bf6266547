// The game's fixed file names, under its working directory: the content it reads and the log
// it writes. The game opens them by these names, the content checker reads them, and the
// recorder will not write over them.
#ifndef STARLANE_CONTENT_FILES_H
#define STARLANE_CONTENT_FILES_H

#define ERROR_LOG_FILE "Error.txt"
#define PALETTE_FILE "palette.pal"

#define GRAPHICS_FOLDER "Graphics"
#define ENEMIES_FOLDER "Enemies"
#define ORDERS_FOLDER "DeploymentOrders"

#define GRAPHICS_LIST GRAPHICS_FOLDER "/MasterGraphics.txt"
#define ENEMIES_LIST ENEMIES_FOLDER "/MasterEnemies.txt"
#define ORDERS_FILE ORDERS_FOLDER "/DeploymentOrder1.dpo"

#endif
