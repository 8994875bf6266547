// Weapons and shots: volleys, the pool limit, placement, flight and the impact kinds.
#include <gtest/gtest.h>

#include "game/collisions.h"
#include "game/weapons.h"
#include "game/world.h"
#include "tests/support/play.h"
#include "tests/support/testsupport.h"

class WeaponTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        setUpPlayWorld();
    }
    static Weapon twoShots()
    {
        Weapon w = {};
        w.descs[0] = {TEST_SHOT, DISCHARGE_IMPACT_ANIMATION, 8, 21, 0, -10, 10};
        w.descs[1] = {TEST_SHOT, DISCHARGE_IMPACT_ANIMATION, 44, 21, 0, -10, 10};
        w.numDischarges = 2;
        return w;
    }
};

TEST_F(WeaponTest, AShotStartsAtTheOffsetAndFliesByItsVelocity)
{
    Weapon w = twoShots();
    EXPECT_EQ(fireWeapon(&w, 350, 500, OWNER_PLAYER), 1);
    ASSERT_EQ(numActiveDischarges, 2);
    Discharge* d = discharges[0];
    EXPECT_EQ(d->graphic.x, 358);
    EXPECT_EQ(d->graphic.y, 521);
    EXPECT_EQ(discharges[1]->graphic.x, 394);
    EXPECT_EQ(d->state, DISCHARGE_FLYING);
    EXPECT_EQ(d->owner, OWNER_PLAYER);
    EXPECT_EQ(d->damage, 10);
    EXPECT_EQ(d->dischargeAttributes, DISCHARGE_IMPACT_ANIMATION);
    EXPECT_TRUE(d->graphic.attributes & GRAPHIC_CLONE);
    EXPECT_EQ(d->graphic.currentFrame, 0);
    animateObjects();
    EXPECT_EQ(d->graphic.y, 511);
    animateObjects();
    EXPECT_EQ(d->graphic.y, 501);
    EXPECT_EQ(d->graphic.x, 358);
    EXPECT_EQ(errorText(), "");
}

TEST_F(WeaponTest, VolleySizesOutsideTheWeaponAreBounded)
{
    Weapon w = twoShots();
    w.numDischarges = 0;
    EXPECT_EQ(fireWeapon(&w, 0, 0, OWNER_ENEMY), 1);
    EXPECT_EQ(numActiveDischarges, 0);

    w.numDischarges = -3;
    EXPECT_EQ(fireWeapon(&w, 0, 0, OWNER_ENEMY), 1);
    EXPECT_EQ(numActiveDischarges, 0);

    // A weapon claiming more descs than it holds fires its five, never a sixth.
    for (int i = 0; i < MAX_DISCHARGE_DESCS; i++)
        w.descs[i] = {TEST_SHOT, 0, i, 0, 0, 1, 5};
    w.numDischarges = 40;
    EXPECT_EQ(fireWeapon(&w, 100, 100, OWNER_ENEMY), 1);
    ASSERT_EQ(numActiveDischarges, 5);
    EXPECT_EQ(discharges[4]->graphic.x, 104);
    EXPECT_EQ(errorText(), "");
}

TEST_F(WeaponTest, AFullPoolRefusesShotByShot)
{
    Weapon w = twoShots();
    numActiveDischarges = 99;
    EXPECT_EQ(fireWeapon(&w, 350, 500, OWNER_PLAYER), 1);
    EXPECT_EQ(numActiveDischarges, 100);
    EXPECT_EQ(discharges[99]->graphic.x, 358);
    EXPECT_EQ(errorText(), "createDischarge: too many weapons discharged\n");
}

TEST_F(WeaponTest, BadArgumentsAndUnloadedGraphicsAreRefused)
{
    int at[2] = {0, 0};
    DischargeDesc desc = {TEST_SHOT, 0, 0, 0, 0, 0, 1};
    EXPECT_EQ(fireWeapon(NULL, 0, 0, 0), 0);
    EXPECT_EQ(createDischarge(NULL, 0, at), 0);
    EXPECT_EQ(createDischarge(&desc, 0, NULL), 0);
    EXPECT_EQ(impactDischarge(NULL), 0);
    desc.graphicID = 6; // one past the loaded graphics
    EXPECT_EQ(createDischarge(&desc, 0, at), 0);
    desc.graphicID = -1;
    EXPECT_EQ(createDischarge(&desc, 0, at), 0);
    desc.graphicID = 1000000;
    EXPECT_EQ(createDischarge(&desc, 0, at), 0);
    EXPECT_EQ(numActiveDischarges, 0);
    EXPECT_EQ(errorText(), "fireWeapon: null pointer(s) passed\n"
                           "createDischarge: null pointer passed\n"
                           "createDischarge: null pointer passed\n"
                           "impactDischarge: null pointer passed\n"
                           "createDischarge: graphic index out of bounds\n"
                           "createDischarge: graphic index out of bounds\n"
                           "createDischarge: graphic index out of bounds\n");
}

TEST_F(WeaponTest, ACloneFailureLeavesTheCountAlone)
{
    Discharge* spare = discharges[0];
    discharges[0] = NULL;
    int at[2] = {0, 0};
    DischargeDesc desc = {TEST_SHOT, 0, 0, 0, 0, 0, 1};
    EXPECT_EQ(createDischarge(&desc, 0, at), 0);
    discharges[0] = spare;
    EXPECT_EQ(numActiveDischarges, 0);
    EXPECT_EQ(errorText(), "cloneGraphic: null pointer(s) passed\n"
                           "createDischarge: error cloning graphic\n");
}

TEST_F(WeaponTest, ImpactStopsTheShotAndPicksTheImpactByItsBits)
{
    Discharge* d =
        addShot(10, 10, OWNER_PLAYER, DISCHARGE_IMPACT_ANIMATION | DISCHARGE_IMPACT_FRAME, 1);
    d->graphic.xVelocity = 3;
    d->graphic.yVelocity = -10;
    EXPECT_EQ(impactDischarge(d), 1);
    EXPECT_EQ(d->state, DISCHARGE_IMPACTING);
    EXPECT_EQ(d->graphic.currentAnimation, 1); // the animation wins over the frame
    EXPECT_EQ(d->graphic.animations[1].running, 1);
    EXPECT_EQ(d->graphic.xVelocity, 0);
    EXPECT_EQ(d->graphic.yVelocity, 0);
    animateObjects();
    EXPECT_EQ(d->graphic.x, 10);
    EXPECT_EQ(d->graphic.y, 10);

    Discharge* f = addShot(10, 10, OWNER_PLAYER, DISCHARGE_IMPACT_FRAME | 64, 1);
    impactDischarge(f);
    EXPECT_EQ(f->state, DISCHARGE_IMPACTING);
    EXPECT_EQ(f->graphic.currentFrame, 1);

    Discharge* s = addShot(10, 10, OWNER_PLAYER, DISCHARGE_ANIMATED, 1);
    EXPECT_EQ(s->graphic.animations[0].running, 1); // flies with animation 0
    impactDischarge(s);
    EXPECT_EQ(s->state, DISCHARGE_SPENT);
}

TEST_F(WeaponTest, AShotWithoutImpactBitsLeavesThePoolInTheFrameItHits)
{
    Enemy* e = addEnemy(300, 100);
    addShot(310, 110, OWNER_PLAYER, 0, 10);
    playFrame();
    EXPECT_EQ(e->health, 90);
    EXPECT_EQ(numActiveDischarges, 0); // gone before anything is drawn
}

TEST_F(WeaponTest, AnImpactFrameShowsForExactlyOneFrame)
{
    Enemy* e = addEnemy(300, 100);
    Discharge* d = addShot(310, 110, OWNER_PLAYER, DISCHARGE_IMPACT_FRAME, 10);
    playFrame();
    ASSERT_EQ(numActiveDischarges, 1);
    EXPECT_EQ(d->state, DISCHARGE_IMPACTING);
    EXPECT_EQ(d->graphic.currentFrame, 1);
    playFrame();
    EXPECT_EQ(numActiveDischarges, 0);
    EXPECT_EQ(e->health, 90); // hit once only
}

TEST_F(WeaponTest, AnImpactAnimationPlaysOutWithoutHittingAgain)
{
    Enemy* e = addEnemy(300, 100);
    Discharge* d = addShot(310, 110, OWNER_PLAYER, DISCHARGE_IMPACT_ANIMATION, 10);
    playFrame(); // hit; impact step 1
    EXPECT_EQ(d->state, DISCHARGE_IMPACTING);
    playFrame(); // impact step 2 stops it
    EXPECT_EQ(numActiveDischarges, 1);
    playFrame(); // seen stopped: spent and removed in this frame
    EXPECT_EQ(numActiveDischarges, 0);
    EXPECT_EQ(e->health, 90);
}
