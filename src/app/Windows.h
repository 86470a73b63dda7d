#pragma once

struct AppContext;
class TForm1;

// Creates the windows that follow the main window, once each, in their fixed order.
void createOtherWindows(TForm1 &main, AppContext &ctx);
