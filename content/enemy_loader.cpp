#include <string.h>

#include "content/content.h"
#include "content/textread.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "shell/errorlog.h"

static int failEnemy(const char* message, TextFile* file)
{
    writeError(message);
    closeTextFile(file);
    return 0;
}

static int outsideLimit(int value)
{
    return value < -CONTENT_COORDINATE_LIMIT || value > CONTENT_COORDINATE_LIMIT;
}

static const char* const endOfFile = "loadEnemy: unexpected end of file\n";

int loadEnemy(Enemy* enemy, const char* fileName)
{
    int graphicID = 0, numTimerDelays = 0, index = 0, DELAY = 0, callbackFuncID = 0;

    if (enemy == NULL || fileName == NULL) {
        writeError("loadEnemy: null pointer(s) passed\n");
        return 0;
    }
    memset(enemy, 0, sizeof(*enemy));

    TextFile text;
    TextFile* file = &text;
    if (!openTextFile(file, fileName)) {
        writeError("loadEnemy: error opening file\n");
        return 0;
    }

    nameField(file, "graphic", 0);
    if (!readInt(file, &graphicID))
        return failEnemy("loadEnemy: error reading graphicID\n", file);
    if (graphicID < 0 || graphicID >= numMasterGraphics)
        return failEnemy("loadEnemy: graphicID out of bounds\n", file);
    if (cloneGraphic(&masterGraphics[graphicID], &enemy->graphic) == NULL)
        return failEnemy("loadEnemy: error cloning graphic\n", file);
    if (!discardLine(file))
        return failEnemy(endOfFile, file);

    nameField(file, "enemyID", 0);
    if (!readInt(file, &enemy->enemyID))
        return failEnemy("loadEnemy: error reading enemyID", file);
    if (!discardLine(file))
        return failEnemy(endOfFile, file);

    nameField(file, "speed", 0);
    if (!(readInt(file, &enemy->xSpeed) && readInt(file, &enemy->ySpeed)))
        return failEnemy("loadEnemy: error reading in the enemy's velocities\n", file);
    // Speeds are steps toward a destination; a negative one would fly away from it for ever.
    if (enemy->xSpeed < 0 || enemy->ySpeed < 0)
        return failEnemy("loadEnemy: negative speed read\n", file);
    if (enemy->xSpeed > CONTENT_COORDINATE_LIMIT || enemy->ySpeed > CONTENT_COORDINATE_LIMIT)
        return failEnemy("loadEnemy: speed out of bounds\n", file);
    enemy->health = 100;
    if (!discardLine(file))
        return failEnemy(endOfFile, file);

    nameField(file, "state", 0);
    if (!readInt(file, &enemy->state))
        return failEnemy("loadEnemy: error reading initial state\n", file);
    if (!discardLine(file))
        return failEnemy(endOfFile, file);
    nameField(file, "weaponState", 0);
    if (!readInt(file, &enemy->weapon.state))
        return failEnemy("loadEnemy: error reading initial state\n", file);
    if (!discardLine(file))
        return failEnemy(endOfFile, file);

    nameField(file, "discharges", 0);
    if (!readInt(file, &enemy->weapon.numDischarges))
        return failEnemy("loadEnemy: error reading number of discharges\n", file);
    if (enemy->weapon.numDischarges < 0 || enemy->weapon.numDischarges > MAX_DISCHARGE_DESCS)
        return failEnemy("loadEnemy: num of discharges out of bounds\n", file);
    if (!discardLine(file))
        return failEnemy(endOfFile, file);

    for (int i = 0; i < enemy->weapon.numDischarges; i++) {
        DischargeDesc* desc = &enemy->weapon.descs[i];
        nameField(file, "discharge", i);
        if (!(readInt(file, &desc->graphicID) && readInt(file, &desc->attributes) &&
              readInt(file, &desc->xOffset) && readInt(file, &desc->yOffset) &&
              readInt(file, &desc->xVelocity) && readInt(file, &desc->yVelocity) &&
              readInt(file, &desc->damage)))
            return failEnemy("loadEnemy: error loading a discharge desc\n", file);
        if (desc->graphicID < 0 || desc->graphicID >= numMasterGraphics)
            return failEnemy("loadEnemy: discharge graphicID out of bounds\n", file);
        if (outsideLimit(desc->xOffset) || outsideLimit(desc->yOffset) ||
            outsideLimit(desc->xVelocity) || outsideLimit(desc->yVelocity))
            return failEnemy("loadEnemy: discharge desc out of bounds\n", file);
        if (!discardLine(file))
            return failEnemy(endOfFile, file);
    }

    nameField(file, "timers", 0);
    if (!readInt(file, &numTimerDelays))
        return failEnemy("loadEnemy: error reading in numTimerDelays\n", file);
    if (!discardLine(file))
        return failEnemy(endOfFile, file);
    for (int i = 0; i < numTimerDelays; i++) {
        nameField(file, "timer", i);
        if (!(readInt(file, &index) && readInt(file, &DELAY)))
            return failEnemy("loadEnemy: error reading a timer delay\n", file);
        if (index < 0 || index >= MAX_TIMERS)
            return failEnemy("loadEnemy: timer index out of bounds\n", file);
        enemy->timers[index].delay = DELAY;
        if (!discardLine(file))
            return failEnemy(endOfFile, file);
    }

    nameField(file, "aiState", 0);
    if (!readInt(file, &enemy->aiState))
        return failEnemy("loadEnemy: error reading initial AI state\n", file);
    if (!discardLine(file))
        return failEnemy(endOfFile, file);

    // The last line needs no newline.
    nameField(file, "routine", 0);
    if (!readInt(file, &callbackFuncID))
        return failEnemy("loadEnemy: error reading callback function ID\n", file);
    if (callbackFuncID < 0 || callbackFuncID >= NUM_AI_CALLBACKS)
        return failEnemy("loadEnemy: callback function ID out of bounds\n", file);
    enemy->aiCallback = aiCallbacks[callbackFuncID];
    closeTextFile(file);
    return 1;
}

int loadMasterEnemies(const char* fileName)
{
    int count = 0;
    char name[CONTENT_NAME_LENGTH + 1];

    if (fileName == NULL) {
        writeError("loadMasterEnemies: null pointer passed\n");
        return 0;
    }
    TextFile text;
    TextFile* file = &text;
    if (!openTextFile(file, fileName)) {
        writeError("loadMasterEnemies: unable to open file\n");
        return 0;
    }
    const char* failure = NULL;
    nameField(file, "count", 0);
    if (!readInt(file, &count))
        failure = "loadMasterEnemies: error reading number of enemies\n";
    else if (!discardLine(file))
        failure = "loadMasterEnemies: unexpected end of file\n";
    else if (count > MAX_MASTER_ENEMIES)
        failure = "loadMasterEnemies: num of enemies exceeds maximum\n";
    else {
        numMasterEnemies = count;
        for (int i = 0; i < count && failure == NULL; i++) {
            nameField(file, "entry", i);
            if (!readName(file, name, CONTENT_NAME_LENGTH))
                failure = "loadMasterEnemies: error reading file name\n";
            else if (!loadEnemy(&masterEnemies[i], name))
                failure = "loadMasterEnemies: error loading enemy\n";
            else if (!discardLine(file))
                failure = "loadMasterEnemies: unexpected end of file\n";
        }
    }
    closeTextFile(file);
    if (failure != NULL) {
        writeError(failure);
        return 0;
    }
    return 1;
}
