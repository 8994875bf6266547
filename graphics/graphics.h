// Sprites: the Graphic record with its frames and animations; creating, cloning,
// animating, drawing, and testing for collision and for leaving the screen. It includes the
// display and the shell's log; the content loaders fill its records and the game moves them.
#ifndef STARLANE_GRAPHICS_GRAPHICS_H
#define STARLANE_GRAPHICS_GRAPHICS_H

#include <windows.h>

struct IDirectDrawSurface7;

#define MAX_FRAMES 20
#define MAX_ANIMATIONS 10
#define MAX_ANIMATION_FRAMES 20

// Graphic attribute bits
#define GRAPHIC_ANIMATED 4 // plays animations
#define GRAPHIC_CLONE 8    // shares another graphic's surfaces; releases nothing

// Animation flag bits
#define ANIMATION_LOOP 1  // wrap at the end and keep running
#define ANIMATION_RESET 2 // back to the first entry when a non-looping animation ends

struct Animation {
    int frameSequence[MAX_ANIMATION_FRAMES]; // frame indexes in play order
    int numFrames;                           // entries in use, 0..20
    int flags;
    int currentIndex; // position now shown
    int delay;        // steps held at each position
    int running;
    int counter; // steps counted at the current position
};

// The head of a Graphic: what a description file says about it.
struct GraphicDesc {
    int x, y;
    int xVelocity, yVelocity;
    int width, height;
    int bpp;
    int colorKey;
    RECT boundingBox; // relative to (x, y)
};

struct Graphic {
    int x, y;
    int xVelocity, yVelocity;
    int width, height;
    int bpp;
    int colorKey;
    RECT boundingBox;
    int attributes;
    int visible;
    int type;
    IDirectDrawSurface7* frames[MAX_FRAMES];
    Animation animations[MAX_ANIMATIONS];
    int currentFrame;
    int currentAnimation;
};

// Records and frames
int createGraphic(Graphic* graphic, const GraphicDesc* desc, int attributes, int type);
int destroyGraphic(Graphic* graphic);
int loadFrame(Graphic* graphic, unsigned char* pixels, int index);
int setFrame(Graphic* graphic, int index);
Graphic* cloneGraphic(const Graphic* src, Graphic* dst);

// Animation
int loadAnimation(Graphic* graphic, int index, int numFrames, const int* frameSequence, int delay,
                  int flags);
int loadAnimationRecord(Graphic* graphic, const Animation* animation, int index);
int setAnimation(Graphic* graphic, int index);
int stopAnimation(Graphic* graphic);
int animationStopped(Graphic* graphic);
int updateAnimation(Animation* animation);
int animateGraphic(Graphic* graphic);
int processGraphic(Graphic** graphics, int count);

// Drawing and tests
int drawGraphic(Graphic* graphic);
int drawGraphicList(Graphic** graphics, int count);
int testCollisionGraphic(const Graphic* a, const Graphic* b);
int graphicOffscreen(const Graphic* graphic);

#endif
