#pragma once

#include "platform/AppContext.h"

#include <QDialog>

class QComboBox;
class QToolButton;
class TForm1;

// The task editor: one modal dialog for adding and changing a task; its mode is
// its caption (" Add New Task" or " Edit Task").
class TFormAddEdit : public QDialog
{
    Q_OBJECT
public:
    TFormAddEdit(AppContext &ctx, TForm1 &main);

    // The category list, kept in step with the stored categories.
    QComboBox *ComboBox2 = nullptr;
    // "++": adds a category through the main window's category command.
    QToolButton *SpeedButton5 = nullptr;

private:
    AppContext &m_ctx;
    TForm1 &m_main;
};
