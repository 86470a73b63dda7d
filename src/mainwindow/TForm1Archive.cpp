// Archiving tasks and opening the archive viewer.

#include "TForm1.h"

void TForm1::Menu_ArchiveTaskClick(QObject *) {}
void TForm1::Menu_OpenArchiveClick() {}
