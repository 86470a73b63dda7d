#pragma once

#include "platform/AppContext.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class AlarmTimer;
class PreferenceTarget;

// The preferences dialog. Its controls are loaded from the settings file once, at
// creation; after each Ok the main window's preferences command has them stored.
// Until then the dialog writes nothing to the settings file.
class TFormOptions : public QDialog
{
    Q_OBJECT
public:
    TFormOptions(AppContext &ctx, PreferenceTarget &main, QWidget *parent);

    // "Stay on top" as the box holds it now.
    bool stayOnTopChecked() const;
    // The preferences command after Ok: stores every preference from the
    // controls, key by key in a fixed order, and applies at once those that
    // change the running main window. A failed write ends the sequence at that
    // step; the steps before it stay done.
    void storePreferences(AlarmTimer &alarm) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // --- Reactions to the user
    void CheckBox6Click();
    void CheckBox10Click();
    void CheckBox16Click();
    void ComboBox1Change();
    void ComboBox2Change();
    void CheckBox22Click();
    void CheckBox4Click();
    void CheckBox20Click();
    void Button_option_dirClick();
    void Button_resetColsClick();
    void FormKeyUp(int key);

    void buildControls();
    void connectHandlers();
    void FormCreate();
    void loadControls();
    void guarded(const std::function<void()> &handler);

    // Components, named as in the dialog's design.
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr,
           *Label5 = nullptr;
    QFrame *Bevel1 = nullptr, *Bevel2 = nullptr, *Bevel3 = nullptr, *Bevel4 = nullptr,
           *Bevel5 = nullptr;
    QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr, *CheckBox3 = nullptr,
              *CheckBox4 = nullptr, *CheckBox5 = nullptr, *CheckBox6 = nullptr,
              *CheckBox7 = nullptr, *CheckBox8 = nullptr, *CheckBox9 = nullptr,
              *CheckBox10 = nullptr, *CheckBox11 = nullptr, *CheckBox12 = nullptr,
              *CheckBox13 = nullptr, *CheckBox14 = nullptr, *CheckBox15 = nullptr,
              *CheckBox16 = nullptr, *CheckBox17 = nullptr, *CheckBox18 = nullptr,
              *CheckBox19 = nullptr, *CheckBox20 = nullptr, *CheckBox21 = nullptr,
              *CheckBox22 = nullptr, *CheckBox23 = nullptr;
    QComboBox *ComboBox1 = nullptr, *ComboBox2 = nullptr;
    QLineEdit *Edit_option_savepath = nullptr;
    QPushButton *Button_resetCols = nullptr, *Button_option_dir = nullptr, *Button_pp_ok = nullptr,
                *Button_pp_cancel = nullptr;

    AppContext &m_ctx;
    PreferenceTarget &m_main;
};
