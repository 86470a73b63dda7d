// The preferences command.

#include "TForm1.h"

void TForm1::SpeedButton7Click() {}
