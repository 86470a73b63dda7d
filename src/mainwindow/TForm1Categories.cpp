// Adding and deleting categories; the search through the input dialog.

#include "TForm1.h"

void TForm1::Menu_AddCategoryClick(QObject *) {}
void TForm1::Menu_SearchClick() {}
