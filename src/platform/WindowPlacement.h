#pragma once

// Whether the window system tells a program where its windows stand and lets it
// place them. Wayland does neither: a window reads as standing at 0,0 and a move
// is ignored. A window closed there keeps its stored position instead of
// overwriting it, so the next session under X11 opens where the user left it.
bool windowPositionsKnown();
