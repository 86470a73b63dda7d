// Keyboard shortcuts and the toolbar's mouse presses.

#include "TForm1.h"

void TForm1::Panel1MouseDown(Qt::MouseButton) {}
bool TForm1::FormKeyDown(int, Qt::KeyboardModifiers, bool) { return false; }
void TForm1::FormKeyUp(int) {}
