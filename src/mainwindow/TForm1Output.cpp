// Printing, the plain-text export and the help text.

#include "TForm1.h"

#include "output/HelpText.h"
#include "output/PlainTextExport.h"
#include "output/PrintCommands.h"
#include "store/TaskTable.h"
#include "widgets/TaskGrid.h"

void TForm1::Menu_PrintClick()
{
    printTaskList(*m_table, m_ctx.printers);
}

void TForm1::Menu_SavetoFileClick()
{
    // One export object for the window's life: it removes the file it left behind.
    auto *exporter = findChild<PlainTextExport *>(QString(), Qt::FindDirectChildrenOnly);
    if (!exporter)
        exporter = new PlainTextExport(this);
    std::vector<int> widths;
    for (int c = 0; c < Col::Count; ++c)
        widths.push_back(StringGrid1->colWidth(c));
    exporter->run(*m_table, widths, StringGrid1->viewport()->width(), m_ctx.textViewer);
}

void TForm1::Menu_HelpFileClick()
{
    HelpText::open(m_ctx, this);
}
