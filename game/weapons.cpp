#include "game/contract.h"
#include "game/weapons.h"

#include "game/world.h"
#include "graphics/graphics.h"
#include "shell/errorlog.h"

int fireWeapon(const Weapon* weapon, int x, int y, int owner)
{
    if (weapon == NULL) {
        writeError("fireWeapon: null pointer(s) passed\n");
        return 0;
    }
    int parentLoc[2] = {x, y};
    // A weapon from a content file may claim more descs than it has room for.
    for (int i = 0; i < weapon->numDischarges && i < MAX_DISCHARGE_DESCS; i++)
        createDischarge(&weapon->descs[i], owner, parentLoc);
    return 1;
}

int createDischarge(const DischargeDesc* desc, int owner, const int* parentLoc)
{
    if (desc == NULL || parentLoc == NULL) {
        writeError("createDischarge: null pointer passed\n");
        return 0;
    }
    if (numActiveDischarges >= MAX_DISCHARGES) {
        writeError("createDischarge: too many weapons discharged\n");
        return 0;
    }
    if (desc->graphicID < 0 || desc->graphicID >= numMasterGraphics ||
        desc->graphicID >= MAX_MASTER_GRAPHICS) {
        writeError("createDischarge: graphic index out of bounds\n");
        return 0;
    }
    Discharge* discharge = discharges[numActiveDischarges];
    // an unallocated slot reaches cloneGraphic as null and is refused there
    Graphic* graphic = discharge ? &discharge->graphic : NULL;
    if (cloneGraphic(&masterGraphics[desc->graphicID], graphic) == NULL) {
        writeError("createDischarge: error cloning graphic\n");
        return 0;
    }
    discharge->graphic.x = parentLoc[0] + desc->xOffset;
    discharge->graphic.y = parentLoc[1] + desc->yOffset;
    discharge->graphic.xVelocity = desc->xVelocity;
    discharge->graphic.yVelocity = desc->yVelocity;
    discharge->damage = desc->damage;
    discharge->owner = owner;
    discharge->state = DISCHARGE_FLYING;
    discharge->dischargeAttributes = desc->attributes;
    if (desc->attributes & DISCHARGE_ANIMATED)
        setAnimation(&discharge->graphic, SHOT_ANIMATION_FLIGHT);
    else
        setFrame(&discharge->graphic, SHOT_FRAME_FLIGHT);
    numActiveDischarges++;
    return 1;
}

int impactDischarge(Discharge* discharge)
{
    if (discharge == NULL) {
        writeError("impactDischarge: null pointer passed\n");
        return 0;
    }
    discharge->graphic.xVelocity = 0;
    discharge->graphic.yVelocity = 0;
    if (discharge->dischargeAttributes & DISCHARGE_IMPACT_ANIMATION) {
        setAnimation(&discharge->graphic, SHOT_ANIMATION_IMPACT);
        discharge->state = DISCHARGE_IMPACTING;
    } else if (discharge->dischargeAttributes & DISCHARGE_IMPACT_FRAME) {
        setFrame(&discharge->graphic, SHOT_FRAME_IMPACT);
        discharge->state = DISCHARGE_IMPACTING;
    } else {
        discharge->state = DISCHARGE_SPENT;
    }
    return 1;
}
