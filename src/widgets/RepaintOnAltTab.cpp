#include "RepaintOnAltTab.h"

#include "platform/Services.h"

#include <QCheckBox>
#include <QPushButton>
#include <QWidget>

void RepaintOnAltTab(QWidget *window, int key, const OsInfo &os)
{
    if (!window || !os.needsRepaintOnAltTab() || (key != Qt::Key_Tab && key != Qt::Key_Alt))
        return;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (qobject_cast<QPushButton *>(w) || qobject_cast<QCheckBox *>(w))
            w->update();
    }
}
