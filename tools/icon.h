// mkcontent's icon commands: the program's icon made from the ship's art.
#ifndef STARLANE_TOOLS_ICON_H
#define STARLANE_TOOLS_ICON_H

#include <string>

bool isIconCommand(const std::string& command); // "icon", "icon-check" or "icon-web"
// "icon" writes OUT_DIR/starlane.ico and starlane.png; "icon-check" compares them; "icon-web"
// writes the web app's icon-192.png and icon-512.png. 0 ok, 1 not.
int iconCommand(const std::string& command, const std::string& dataDir, const std::string& outDir);

#endif
