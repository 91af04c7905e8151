#pragma once
// What every front end (the desktop program, the command line) does once at start, before it
// opens a picture.

namespace vellora {

// Removes the intermediate folders that ended runs (killed, crashed) left behind, then hands
// the picture library the colour engine's 256-colour median cut, which GIF needs to
// save a true-colour picture. Without the colour engine linked, GIF saves of true-colour
// pictures fail with the library's own message.
void setUpShell();

} // namespace vellora
