// Resources of the Windows exe (res/starlane.rc), shared with the code that loads them.
// Only #defines: the resource compiler reads this file too.
#ifndef STARLANE_SHELL_RESOURCE_H
#define STARLANE_SHELL_RESOURCE_H

#define STARLANE_ICON 1 // res/starlane.ico, made by mkcontent icon
#define STARLANE_VERSION_NUMBERS 1, 0, 0, 0
#define STARLANE_VERSION_TEXT "1.0.0"

#endif
