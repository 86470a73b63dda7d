// The dialogs the main window opens, created once in their fixed order.
#include "TForm1.h"

#include "about/TFormAbout.h"
#include "archive/TFormArchive.h"
#include "categories/TFormCategory.h"
#include "editor/TFormAddEdit.h"
#include "preferences/TFormOptions.h"

void TForm1::createDialogs(const WebLinks &links)
{
    // The task editor first: it also settles the program-wide date format.
    FormAddEdit = new TFormAddEdit(m_ctx, m_tasks, m_alarm, this);
    FormOptions = new TFormOptions(m_ctx, *this, this);
    FormAbout = new TFormAbout(m_ctx, this, links);
    // The archive viewer makes its own preferences dialog.
    FormArchive = new TFormArchive(m_ctx, m_tasks, this);
    FormCategory = new TFormCategory(m_ctx, m_tasks, this);
    FormAddEdit->setCategoryDialog(FormCategory);
}
