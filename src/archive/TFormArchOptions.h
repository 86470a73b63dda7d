#pragma once

#include "platform/AppContext.h"

#include <QDialog>

class QCheckBox;
class QPushButton;

// The archive viewer's preferences: three switches written the moment they are
// clicked, and "Done". It reads the stored states once, when it is created.
class TFormArchOptions : public QDialog
{
    Q_OBJECT
public:
    TFormArchOptions(AppContext &ctx, QWidget *parent);

    void FormShow();
    void FormKeyUp(int key);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void arrange();

    // Components, named as in the dialog's design.
    QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr, *CheckBox3 = nullptr;
    QPushButton *Button_pp_ok = nullptr;

    AppContext &m_ctx;
};
