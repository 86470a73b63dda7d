#include "Windows.h"

#include "mainwindow/TForm1.h"

void createOtherWindows(TForm1 &main, AppContext &ctx)
{
    (void)main;
    (void)ctx;
    // 2. the task editor (it also settles the program-wide date format)
    // EDITOR-SLOT
    // 3. the preferences dialog
    // PREFERENCES-SLOT
    // 4. the about box
    // ABOUT-SLOT
    // 5. the archive viewer
    // ARCHIVE-SLOT
    // 6. the one-line input dialog
    // INPUT-SLOT
    // 7. the caption tables are plain functions: nothing to create
    // 8. the archive viewer's preferences
    // ARCHOPTIONS-SLOT
}
