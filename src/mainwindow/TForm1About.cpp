// The about box, the new-version check and the web links; the interface language.

#include "TForm1.h"

void TForm1::Menu_AboutClick() {}
void TForm1::Menu_CheckNewVersionClick() {}
void TForm1::Menu_SoftwareNewsClick() {}
void TForm1::Menu_DonationsClick() {}
void TForm1::applyStoredLanguage() {}
