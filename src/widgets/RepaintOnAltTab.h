#pragma once

class QWidget;
class OsInfo;

// The key-release step every window runs: on systems that need it, releasing Alt
// or Tab repaints the window's push buttons and check boxes.
void RepaintOnAltTab(QWidget *window, int key, const OsInfo &os);
