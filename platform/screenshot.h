// Screenshots of the stand-in's picture, for the F12 key and the replay tool.
#ifndef STARLANE_PLATFORM_SCREENSHOT_H
#define STARLANE_PLATFORM_SCREENSHOT_H

// Writes the picture through the palette as a PNG named starlane-NNNN.png in the working
// directory, taking the first number whose file does not exist; the name goes to `name`.
// 1 ok, 0 failed (nothing is left behind).
int writeScreenshot(const unsigned char* pixels, int pitch, int width, int height,
                    const unsigned char* palette4x256, char* name, int nameSize);

#endif
