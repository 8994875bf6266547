// What the SDL2 backend offers beyond the backend interface, for measuring it.
#ifndef STARLANE_PLATFORM_BACKEND_SDL_H
#define STARLANE_PLATFORM_BACKEND_SDL_H

// The first half of presenting: the 8-bit picture converted through the palette into
// the streaming texture (lock, convert, unlock). 0 when there is no texture of that size.
int backendConvertPicture(const unsigned char* pixels, int pitch, int width, int height,
                          const unsigned char* palette4x256);

#endif
