// Animation slots of a Graphic: loading, starting, stopping and stepping them.
#include <limits.h>

#include "graphics/graphics.h"
#include "shell/errorlog.h"

// A record whose position or length lies outside frameSequence must never be stepped:
// it would read past the array.
static int animationInBounds(const Animation* animation)
{
    return animation->numFrames >= 0 && animation->numFrames <= MAX_ANIMATION_FRAMES &&
           animation->currentIndex >= 0 && animation->currentIndex < MAX_ANIMATION_FRAMES;
}

static int animationIndexInBounds(int index)
{
    return index >= 0 && index < MAX_ANIMATIONS;
}

static int frameIndexInBounds(int index)
{
    return index >= 0 && index < MAX_FRAMES;
}

int loadAnimation(Graphic* graphic, int index, int numFrames, const int* frameSequence, int delay,
                  int flags)
{
    if (graphic == NULL || frameSequence == NULL) {
        writeError("loadAnimation:  null pointer(s) passed\n");
        return 0;
    }
    if (numFrames > MAX_ANIMATION_FRAMES) {
        writeError("loadAnimation:  numFrames exceeds max\n");
        return 0;
    }
    if (numFrames < 0) {
        writeError("loadAnimation:  negative numFrames\n");
        return 0;
    }
    if (!animationIndexInBounds(index)) {
        writeError("loadAnimation:  animation index out of bounds\n");
        return 0;
    }
    for (int i = 0; i < numFrames; i++) {
        if (!frameIndexInBounds(frameSequence[i])) {
            writeError("loadAnimation:  frame index out of bounds\n");
            return 0;
        }
    }

    // Position, counter and running state stay: only the script of the slot changes.
    Animation* slot = &graphic->animations[index];
    slot->numFrames = numFrames;
    for (int i = 0; i < numFrames; i++)
        slot->frameSequence[i] = frameSequence[i];
    slot->delay = delay;
    slot->flags = flags;
    return 1;
}

int loadAnimationRecord(Graphic* graphic, const Animation* animation, int index)
{
    if (graphic == NULL || animation == NULL) {
        writeError("loadAnimation: null pointer(s) passed\n");
        return 0;
    }
    if (!animationIndexInBounds(index)) {
        writeError("loadAnimation: index out of bounds\n");
        return 0;
    }
    if (animation->numFrames < 0 || animation->numFrames > MAX_ANIMATION_FRAMES) {
        writeError("loadAnimationRecord: numFrames out of bounds\n");
        return 0;
    }
    // Entry 0 is shown even by an empty sequence, so it is checked in any case. Entries past
    // numFrames are never shown and may hold anything.
    int used = animation->numFrames > 0 ? animation->numFrames : 1;
    for (int i = 0; i < used; i++) {
        if (!frameIndexInBounds(animation->frameSequence[i])) {
            writeError("loadAnimationRecord: frame index out of bounds\n");
            return 0;
        }
    }
    if (animation->currentIndex < 0 || animation->currentIndex >= used) {
        writeError("loadAnimationRecord: current index out of bounds\n");
        return 0;
    }
    graphic->animations[index] = *animation;
    return 1;
}

int setAnimation(Graphic* graphic, int index)
{
    if (graphic == NULL) {
        writeError("setAnimation:  null pointer passed\n");
        return 0;
    }
    if (!animationIndexInBounds(index)) {
        writeError("setAnimation:  animation index out of bounds\n");
        return 0;
    }
    // currentFrame is left alone: the new animation shows from the next step.
    graphic->currentAnimation = index;
    Animation* animation = &graphic->animations[index];
    animation->currentIndex = 0;
    animation->counter = 0;
    animation->running = 1;
    return 1;
}

int stopAnimation(Graphic* graphic)
{
    if (graphic == NULL) {
        writeError("stopAnimation: null pointer passed\n");
        return 0;
    }
    if (!animationIndexInBounds(graphic->currentAnimation)) {
        writeError("stopAnimation: animation index out of bounds\n");
        return 0;
    }
    graphic->animations[graphic->currentAnimation].running = 0;
    return 1;
}

int animationStopped(Graphic* graphic)
{
    if (graphic == NULL) {
        writeError("animationStopped: null pointer passed\n");
        return 0;
    }
    if (!animationIndexInBounds(graphic->currentAnimation)) {
        writeError("animationStopped: animation index out of bounds\n");
        return 0;
    }
    return graphic->animations[graphic->currentAnimation].running == 0 ? 1 : 0;
}

int updateAnimation(Animation* animation)
{
    if (animation == NULL) {
        writeError("updateAnimation:  null pointer passed\n");
        return 0;
    }
    if (!animationInBounds(animation)) {
        writeError("updateAnimation:  animation record out of bounds\n");
        return 0;
    }
    if (animation->running == 0)
        return animation->frameSequence[animation->currentIndex];

    // A huge delay holds the position for good rather than overflowing the counter.
    if (animation->counter < INT_MAX)
        animation->counter++;
    if (animation->counter > animation->delay) {
        if (animation->currentIndex < animation->numFrames - 1) {
            animation->currentIndex++;
            animation->counter = 0;
        } else if (animation->flags & ANIMATION_LOOP) {
            animation->currentIndex = 0;
            animation->counter = 0;
        } else {
            // The counter keeps its value: the stop is final until the next setAnimation.
            animation->running = 0;
            if (animation->flags & ANIMATION_RESET)
                animation->currentIndex = 0;
        }
    }
    return animation->frameSequence[animation->currentIndex];
}

// One step of one object: move, then advance its current animation if it plays one.
// A current animation that cannot be stepped safely is reported with the caller's messages
// before anything changes.
static int stepGraphic(Graphic* graphic, const char* badIndex, const char* badRecord)
{
    int animated = (graphic->attributes & GRAPHIC_ANIMATED) != 0;
    Animation* animation = NULL;
    if (animated) {
        if (!animationIndexInBounds(graphic->currentAnimation)) {
            writeError(badIndex);
            return 0;
        }
        animation = &graphic->animations[graphic->currentAnimation];
        if (animation->running == 1 && !animationInBounds(animation)) {
            writeError(badRecord);
            return 0;
        }
    }
    graphic->x += graphic->xVelocity;
    graphic->y += graphic->yVelocity;
    if (animation != NULL && animation->running == 1)
        graphic->currentFrame = updateAnimation(animation);
    return 1;
}

int animateGraphic(Graphic* graphic)
{
    if (graphic == NULL) {
        writeError("animateGraphic:  null pointer passed\n");
        return 0;
    }
    return stepGraphic(graphic, "animateGraphic:  animation index out of bounds\n",
                       "animateGraphic:  animation record out of bounds\n");
}

int processGraphic(Graphic** graphics, int count)
{
    if (graphics == NULL) {
        writeError("processGraphic:  null pointer passed\n");
        return 0;
    }
    // One bad entry does not hold up the others; the result reports it.
    int result = 1;
    for (int i = 0; i < count; i++) {
        if (graphics[i] == NULL) {
            writeError("processGraphic:  null pointer passed\n");
            result = 0;
        } else if (!stepGraphic(graphics[i], "processGraphic:  animation index out of bounds\n",
                                "processGraphic:  animation record out of bounds\n")) {
            result = 0;
        }
    }
    return result;
}
