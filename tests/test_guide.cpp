// The modding guide's tables state the numbers the code selects and limits by: a modder who
// follows docs/modding.md must meet the game as it is. Each row is a phrase of the guide
// built from the code's own constants.
#include <gtest/gtest.h>

#include <string>

#include "bitmap/bitmap.h"
#include "content/content.h"
#include "game/contract.h"
#include "game/records.h"
#include "graphics/graphics.h"
#include "tests/support/testsupport.h"

namespace {

std::string n(long long v)
{
    return std::to_string(v);
}

// The guide with every run of blanks and line breaks made one blank, as it reads.
std::string guideText()
{
    std::string text = readFile(std::string(STARLANE_SOURCE_DIR) + "/docs/modding.md"), out;
    for (char c : text)
        if (!(isspace((unsigned char)c) && !out.empty() && out.back() == ' '))
            out += isspace((unsigned char)c) ? ' ' : c;
    return out;
}

TEST(Guide, TablesStateTheNumbersTheCodeUses)
{
    const std::string phrases[] = {
        "| " + n(GRAPHIC_SHIP) + " | the player's ship | frames " + n(SHIP_FRAME_LEVEL) + " and " +
            n(SHIP_FRAME_TILTED) + " while the guns are closed",
        "frame " + n(SHIP_FRAME_FIRING) + " in the frame of a volley, frames " +
            n(SHIP_FRAME_RECOIL) + " and " + n(SHIP_FRAME_RECOIL_FLASH) +
            " while the guns are out; animation " + n(SHIP_ANIMATION_OPEN) + " opens the guns, " +
            n(SHIP_ANIMATION_CLOSE) + " closes them, " + n(SHIP_ANIMATION_DEATH) +
            " is the ship's destruction",
        "| " + n(GRAPHIC_PLAYER_SHOT) + " | the player's shot | frame " + n(SHOT_FRAME_FLIGHT) +
            " in flight, animation " + n(SHOT_ANIMATION_IMPACT) + " (not looping) where it hits |",
        "| " + n(GRAPHIC_POWERUP) + " | the power-up | animation " + n(POWERUP_ANIMATION_FIRST) +
            ", " + n(POWERUP_ANIMATION_FIRST + 1) + " or " +
            n(POWERUP_ANIMATION_FIRST + NUM_POWERUP_KINDS - 1) + ", one per kind",
        "| " + n(GRAPHIC_OVERLAY) + " | the overlay | animation " + n(OVERLAY_ANIMATION) +
            " (let it loop)",
        "routine 1 needs frames " + n(ENEMY_FRAME_LEVEL) + " and " + n(ENEMY_FRAME_FLICKER) +
            " (the cruising flicker",
        "frame " + n(ENEMY_FRAME_FIRING) + " (shown when it fires) and a death animation " +
            n(ENEMY_ANIMATION_DEATH),
        "entry " + n(STAR_COLOUR_FAR) + " colours the far stars and entry " + n(STAR_COLOUR_NEAR) +
            " the near ones",
        "| master graphics | " + n(MAX_MASTER_GRAPHICS) + " |",
        "| enemy kinds (master enemies) | " + n(MAX_MASTER_ENEMIES) + " |",
        "| frames per graphic | " + n(MAX_FRAMES) + " (indexes 0 to " + n(MAX_FRAMES - 1) + ") |",
        "| animations per graphic | " + n(MAX_ANIMATIONS) + " (indexes 0 to " +
            n(MAX_ANIMATIONS - 1) + "), each of up to " + n(MAX_ANIMATION_FRAMES) + " frames |",
        "| shot descriptions per enemy | " + n(MAX_DISCHARGE_DESCS) + " |",
        "| timers per enemy | " + n(MAX_TIMERS) + " (indexes 0 to " + n(MAX_TIMERS - 1) + ") |",
        "| deployment orders | " + n(MAX_DEPLOYMENT_ORDERS) + " |",
        "| frame size | " + n(CONTENT_MAX_FRAME_SIDE) + " × " + n(CONTENT_MAX_FRAME_SIDE) +
            " pixels",
        "| frame memory | " + n(CONTENT_FRAME_MEMORY_LIMIT >> 20) + " MiB for all frames",
        "| sprite sheet | " + n(BITMAP_MAX_PIXEL_BYTES >> 20) + " MiB of pixels",
        "| shots in flight | " + n(MAX_DISCHARGES) + " (the pool",
        "| enemies alive | " + n(MAX_ENEMIES) + " (later orders wait) |",
        "| power-ups on the screen | " + n(MAX_POWERUPS) + " |",
        "| file names | " + n(CONTENT_NAME_LENGTH) + " characters, no blanks |",
    };
    std::string guide = guideText();
    for (const std::string& phrase : phrases)
        EXPECT_NE(guide.find(phrase), std::string::npos) << "docs/modding.md lacks: " << phrase;
}

} // namespace
