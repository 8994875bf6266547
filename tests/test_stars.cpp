// The starfield: scattering, scrolling, wrapping and plotting.
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "game/world.h"
#include "tests/support/testsupport.h"

namespace {

const int pitch = 832; // wider than the screen, as a real back buffer may be

class Stars : public GameTest {
protected:
    std::vector<unsigned char> buffer = std::vector<unsigned char>(pitch * 600 + 64, 0);

    void SetUp() override
    {
        GameTest::SetUp();
        backBufferMemory = buffer.data();
        backBufferPitch = pitch;
    }

    // Every star at (10 + i, 100 + 100 * layer): nothing wraps, nothing overlaps.
    void placeStill()
    {
        for (int layer = 0; layer < STAR_LAYERS; layer++)
            for (int i = 0; i < STARS_PER_LAYER; i++)
                stars[layer][i] = {10 + i, 100 + 100 * layer};
    }

    unsigned char at(int x, int y) { return buffer[y * pitch + x]; }
};

TEST_F(Stars, CreateDrawsXThenYForEveryStarInLayerOrder)
{
    srand(1234);
    ASSERT_EQ(createStars(), 1);
    srand(1234);
    for (int layer = 0; layer < STAR_LAYERS; layer++)
        for (int i = 0; i < STARS_PER_LAYER; i++) {
            int x = rand() % 800;
            int y = rand() % 600;
            EXPECT_EQ(stars[layer][i].x, x) << layer << "/" << i;
            EXPECT_EQ(stars[layer][i].y, y) << layer << "/" << i;
        }
    // 300 draws in all: the next draw is the 301st.
    int next = rand();
    srand(1234);
    for (int i = 0; i < 300; i++)
        rand();
    EXPECT_EQ(rand(), next);
}

TEST_F(Stars, LayersMoveAtTheirSpeedsKeepTheirColumnsAndShowTheirColours)
{
    placeStill();
    srand(7);
    int before = rand();
    srand(7);
    updateStars();
    EXPECT_EQ(rand(), before) << "a star that does not wrap draws nothing";
    const int speed[3] = {1, 2, 7};
    const int colour[3] = {172, 255, 255};
    for (int layer = 0; layer < STAR_LAYERS; layer++)
        for (int i = 0; i < STARS_PER_LAYER; i++) {
            EXPECT_EQ(stars[layer][i].x, 10 + i);
            EXPECT_EQ(stars[layer][i].y, 100 + 100 * layer + speed[layer]);
            EXPECT_EQ(at(10 + i, 100 + 100 * layer + speed[layer]), colour[layer]);
        }
    // Nothing else was written: 150 plotted pixels, no more.
    int lit = 0;
    for (unsigned char b : buffer)
        lit += b != 0;
    EXPECT_EQ(lit, 150);
}

TEST_F(Stars, WrapKeepsTheOvershootAndDrawsANewColumn)
{
    placeStill();
    stars[0][3] = {5, 599}; // 599 + 1 -> 0
    stars[1][4] = {6, 598}; // 598 + 2 -> 0
    stars[2][5] = {7, 595}; // 595 + 7 -> 2
    stars[2][6] = {8, 599}; // 599 + 7 -> 6
    stars[2][7] = {9, 592}; // 592 + 7 = 599, stays
    srand(31);
    int x0 = rand() % 800, x1 = rand() % 800, x2 = rand() % 800, x3 = rand() % 800;
    srand(31);
    updateStars();
    EXPECT_EQ(stars[0][3].y, 0);
    EXPECT_EQ(stars[0][3].x, x0);
    EXPECT_EQ(stars[1][4].y, 0);
    EXPECT_EQ(stars[1][4].x, x1);
    EXPECT_EQ(stars[2][5].y, 2);
    EXPECT_EQ(stars[2][5].x, x2);
    EXPECT_EQ(stars[2][6].y, 6);
    EXPECT_EQ(stars[2][6].x, x3);
    EXPECT_EQ(stars[2][7].y, 599);
    EXPECT_EQ(stars[2][7].x, 9);
    EXPECT_EQ(at(x0, 0), x0 == x1 ? 255 : 172);
    EXPECT_EQ(at(x2, 2), 255);
    EXPECT_EQ(at(9, 599), 255);
}

TEST_F(Stars, TheLaterLayerWinsWhereStarsMeet)
{
    placeStill();
    stars[0][0] = {400, 299}; // -> 300, colour 172
    stars[1][0] = {400, 298}; // -> 300, colour 255
    stars[0][1] = {401, 299}; // -> 300, alone in layer 0
    updateStars();
    EXPECT_EQ(at(400, 300), 255);
    EXPECT_EQ(at(401, 300), 172);
}

} // namespace
