// Printing, the plain-text export and the help text.

#include "TForm1.h"

void TForm1::Menu_PrintClick() {}
void TForm1::Menu_SavetoFileClick() {}
void TForm1::Menu_HelpFileClick() {}
