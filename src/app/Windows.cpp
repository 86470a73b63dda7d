#include "Windows.h"

#include "about/TFormAbout.h"
#include "archive/TFormArchOptions.h"
#include "archive/TFormArchive.h"
#include "categories/TFormCategory.h"
#include "editor/TFormAddEdit.h"
#include "mainwindow/TForm1.h"
#include "preferences/TFormOptions.h"

void createOtherWindows(TForm1 &main, AppContext &ctx)
{
    (void)main;
    (void)ctx;
    // 2. the task editor (it also settles the program-wide date format)
    main.FormAddEdit = new TFormAddEdit(ctx, main);
    // 3. the preferences dialog
    main.FormOptions = new TFormOptions(ctx, main);
    // 4. the about box
    main.FormAbout = new TFormAbout(ctx, main);
    // 5. the archive viewer
    main.FormArchive = new TFormArchive(ctx, main);
    // 6. the one-line input dialog
    main.FormCategory = new TFormCategory(ctx, main);
    // 7. the caption tables are plain functions: nothing to create
    // 8. the archive viewer's preferences
    main.FormArchOptions = new TFormArchOptions(ctx, &main);
}
