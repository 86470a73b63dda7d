#pragma once

class TForm1;

// Puts the main grid's visible columns back to their default widths at once:
// done 12, date as wide as today's date needs, hour 31, priority 12, and the task
// column the rest of the grid's width (less the scroll bar when rows overflow).
// The hidden data columns keep theirs.
void resetColumnWidths(TForm1 &main);
