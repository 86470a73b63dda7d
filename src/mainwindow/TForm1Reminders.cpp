// The start-up agenda and the alarm timer.

#include "TForm1.h"

void TForm1::ShowAgenda() {}
void TForm1::Timer1Timer() {}
