// Deploying enemies from the script, copying templates and driving them by their routine.
#include <gtest/gtest.h>

#include <vector>

#include "game/ai.h"
#include "game/enemies.h"
#include "game/world.h"
#include "tests/support/play.h"
#include "tests/support/testsupport.h"

class DeploymentTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        setUpPlayWorld();
    }
    void script(const std::vector<int>& delays)
    {
        for (size_t i = 0; i < delays.size(); i++)
            deploymentOrders[i] = DeploymentOrder{0, delays[i], 100 + (int)i, 7};
        numDeploymentOrders = (int)delays.size();
        currentDeploymentOrder = 0;
        deploymentState = DEPLOY_START;
    }
    // Runs the scheduler for `frames` frames from frame 0 and returns the frames that deployed.
    std::vector<int> deployFrames(int frames, int firstFrame = 0)
    {
        std::vector<int> at;
        for (int frame = firstFrame; frame < firstFrame + frames; frame++) {
            int before = numActiveEnemies;
            processDeploymentOrders();
            if (numActiveEnemies != before)
                at.push_back(frame);
        }
        return at;
    }
};

TEST_F(DeploymentTest, TheFirstOrderWaitsItsDelayFromTheSchedulersFirstFrame)
{
    script({2});
    EXPECT_EQ(deployFrames(200), std::vector<int>({120}));
    EXPECT_EQ(deploymentState, DEPLOY_DONE);
}

TEST_F(DeploymentTest, EachWaitIsTakenFromTheOrderAboutToBeDeployed)
{
    script({1, 5, 0});
    EXPECT_EQ(deployFrames(500), std::vector<int>({60, 360, 361}));
    EXPECT_EQ(numActiveEnemies, 3);
    EXPECT_EQ(currentDeploymentOrder, 3);
    EXPECT_EQ(deploymentState, DEPLOY_DONE);
    EXPECT_EQ(enemies[1]->graphic.x, 101);
}

TEST_F(DeploymentTest, ADeployedEnemyIsTheTemplateAtTheOrdersPosition)
{
    Enemy& t = masterEnemies[0];
    t.enemyID = 42;
    t.timers[3] = Timer{1, 17, 4};
    t.health = 55;
    t.aiState = AI_WANDER;
    t.weapon.numDischarges = 1;
    t.weapon.descs[0].damage = 9;
    t.aiCallback = runZorvikAI;
    int at[2] = {-40, 612};
    EXPECT_EQ(deployEnemy(0, at), 1);
    ASSERT_EQ(numActiveEnemies, 1);
    Enemy* e = enemies[0];
    EXPECT_EQ(e->graphic.x, -40);
    EXPECT_EQ(e->graphic.y, 612);
    EXPECT_EQ(e->enemyID, 42);
    EXPECT_EQ(e->timers[3].delay, 17);
    EXPECT_EQ(e->timers[3].count, 4);
    EXPECT_EQ(e->health, 55);
    EXPECT_EQ(e->aiState, AI_WANDER);
    EXPECT_EQ(e->weapon.descs[0].damage, 9);
    EXPECT_EQ(e->aiCallback, runZorvikAI);
    EXPECT_EQ(t.graphic.x, 0); // the template is untouched
}

TEST_F(DeploymentTest, AFullPoolPostponesTheDueOrder)
{
    script({1, 1});
    for (int i = 0; i < MAX_ENEMIES; i++)
        addEnemy(0, 0);
    EXPECT_EQ(deployFrames(100), std::vector<int>());
    EXPECT_EQ(deploymentTimer.count, 99); // the wait keeps counting
    numActiveEnemies = 14;                // one removed
    EXPECT_EQ(deployFrames(1, 100), std::vector<int>({100}));
    EXPECT_EQ(enemies[14]->graphic.x, 100);
    numActiveEnemies = 0;
    EXPECT_EQ(deployFrames(100, 101), std::vector<int>({160})); // counted from the deployment
}

TEST_F(DeploymentTest, ScriptsOfThreeFiftyAndNoOrders)
{
    script({0, 0, 0});
    EXPECT_EQ(deployFrames(10), std::vector<int>({1, 2, 3}));
    EXPECT_EQ(deploymentState, DEPLOY_DONE);

    resetWorld();
    setUpPlayWorld();
    script(std::vector<int>(50, 0));
    int deployed = 0;
    for (int frame = 0; frame < 80; frame++) {
        processDeploymentOrders();
        deployed += numActiveEnemies;
        numActiveEnemies = 0;
    }
    EXPECT_EQ(deployed, 50);
    EXPECT_EQ(currentDeploymentOrder, 50);
    EXPECT_EQ(deploymentState, DEPLOY_DONE);

    // a count past the table stops at its end
    resetWorld();
    setUpPlayWorld();
    script(std::vector<int>(50, 0));
    numDeploymentOrders = 70;
    deployed = 0;
    for (int frame = 0; frame < 80; frame++) {
        processDeploymentOrders();
        deployed += numActiveEnemies;
        numActiveEnemies = 0;
    }
    EXPECT_EQ(deployed, 50);
    EXPECT_EQ(deploymentState, DEPLOY_DONE);

    resetWorld();
    setUpPlayWorld();
    script({});
    EXPECT_EQ(deployFrames(100), std::vector<int>());
    EXPECT_EQ(deploymentState, DEPLOY_DONE);
    EXPECT_EQ(deploymentTimer.active, 0);
    EXPECT_EQ(errorText(), "");
}

TEST_F(DeploymentTest, AnOrderNamingAnUnloadedTemplateIsSkipped)
{
    deploymentOrders[0] = DeploymentOrder{1, 0, 5, 5}; // only template 0 is loaded
    deploymentOrders[1] = DeploymentOrder{-1, 0, 5, 5};
    deploymentOrders[2] = DeploymentOrder{0, 0, 5, 5};
    numDeploymentOrders = 3;
    deploymentState = DEPLOY_START;
    EXPECT_EQ(deployFrames(10), std::vector<int>({3}));
    EXPECT_EQ(deploymentState, DEPLOY_DONE);
    EXPECT_EQ(errorText(), "deployEnemy: enemy index out of bounds\n"
                           "deployEnemy: enemy index out of bounds\n");
}

TEST_F(DeploymentTest, DeployEnemyGuardsItsPoolAndArguments)
{
    int at[2] = {1, 2};
    EXPECT_EQ(deployEnemy(0, NULL), 0);
    for (int i = 0; i < MAX_ENEMIES; i++)
        ASSERT_EQ(deployEnemy(0, at), 1);
    EXPECT_EQ(deployEnemy(0, at), 0);
    EXPECT_EQ(numActiveEnemies, MAX_ENEMIES);

    numActiveEnemies = 0;
    Enemy* spare = enemies[0];
    enemies[0] = NULL;
    EXPECT_EQ(deployEnemy(0, at), 0);
    enemies[0] = spare;
    EXPECT_EQ(numActiveEnemies, 0);

    Enemy e;
    EXPECT_EQ(cloneEnemy(NULL, &e), 0);
    EXPECT_EQ(cloneEnemy(&e, NULL), 0);
    EXPECT_EQ(errorText(), "deployEnemy: null pointer passed\n"
                           "deployEnemy: too many enemies\n"
                           "cloneEnemy: null pointer(s) passed\n"
                           "deployEnemy: error cloning enemy\n"
                           "cloneEnemy: null pointer(s) passed\n"
                           "cloneEnemy: null pointer(s) passed\n");
}

TEST_F(DeploymentTest, AnEnemyWithoutARoutineNeverMovesFiresOrDies)
{
    Enemy* e = addEnemy(200, 100);
    e->health = 0;
    e->timers[0] = Timer{1, 0, 0};
    e->weapon.numDischarges = 1;
    e->weapon.descs[0] = {TEST_SHOT, 0, 0, 0, 0, 5, 1};
    addShot(210, 110, OWNER_PLAYER, 0, 30);
    for (int frame = 0; frame < 30; frame++)
        playFrame();
    EXPECT_EQ(numActiveEnemies, 1);
    EXPECT_EQ(e->state, ALIVE);
    EXPECT_EQ(e->health, -30);
    EXPECT_EQ(e->graphic.x, 200);
    EXPECT_EQ(e->graphic.y, 100);
    EXPECT_EQ(e->timers[0].count, 0);
    EXPECT_EQ(numActiveDischarges, 0);
}

static int visits[MAX_ENEMIES];
static int countVisit(Enemy* enemy)
{
    visits[enemy->enemyID]++;
    return 0;
}

TEST_F(DeploymentTest, EveryLiveEnemyIsRunWhateverItsState)
{
    for (int i = 0; i < 3; i++) {
        Enemy* e = addEnemy(0, 0);
        e->enemyID = i;
        e->aiCallback = countVisit;
        visits[i] = 0;
    }
    enemies[1]->state = DEAD;
    enemies[2]->state = DYING;
    enemies[3]->enemyID = 3; // spare record past the live ones
    enemies[3]->aiCallback = countVisit;
    visits[3] = 0;
    EXPECT_EQ(runEnemyAI(), 1);
    EXPECT_EQ(visits[0], 1);
    EXPECT_EQ(visits[1], 1);
    EXPECT_EQ(visits[2], 1);
    EXPECT_EQ(visits[3], 0);
}
