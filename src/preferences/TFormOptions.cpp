// The preferences dialog: its controls, their design places and their loading.
#include "TFormOptions.h"
#include "i18n/LanguageTables.h"
#include "widgets/DesignCaptions.h"
#include "widgets/Hint.h"

#include "FitToFont.h"
#include "PreferenceTarget.h"
#include "platform/HandlerGuard.h"
#include "store/DateFormat.h"
#include "store/Settings.h"
#include "widgets/ApplyLanguage.h"
#include "widgets/Named.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const DesignCaptions designCaption(LanguageTables::preferences());

constexpr int CheckBoxHeight = 14;
constexpr int LabelHeight = 13;
constexpr int FieldHeight = 21;

struct CheckSpec
{
    QCheckBox *TFormOptions::*member;
    const char *name;
    const char *caption;
    int left;
    int top;
};

// The four group captions, each over a rule; a fifth rule above the buttons.
struct GroupSpec
{
    QLabel *TFormOptions::*label;
    const char *labelName;
    const char *caption;
    int top;
    QFrame *TFormOptions::*rule;
    const char *ruleName;
    int ruleTop;
    // A caption with a buddy reads "&&" as one ampersand, as the design's captions do.
    QCheckBox *TFormOptions::*buddy;
};

constexpr int RuleLeft = 4;
constexpr int RuleWidth = 282;
constexpr int GroupLabelLeft = 8;

QPushButton *button(QWidget *parent, const char *name, const QString &caption, const QRect &r)
{
    auto *b = named<QPushButton>(parent, name);
    b->setText(caption);
    b->setGeometry(r);
    // The dialog has no Enter shortcut: no button is a default button.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace

TFormOptions::TFormOptions(AppContext &ctx, PreferenceTarget &main, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_ctx(ctx),
      m_main(main)
{
    setObjectName(QStringLiteral("FormOptions"));
    setWindowTitle(QStringLiteral("  Preferences ..."));
    setModal(true);
    buildControls();
    nameControls(this, LanguageTables::preferences());
    connectHandlers();
    FormCreate();
}

void TFormOptions::buildControls()
{
    // The tables point at private members, so they live in a member function.
    // Top to bottom, as the dialog is designed.
    static const CheckSpec kChecks[] = {
        {&TFormOptions::CheckBox1, "CheckBox1", "Stay on Top", 8, 29},
        {&TFormOptions::CheckBox3, "CheckBox3", "Save Window Position", 158, 29},
        {&TFormOptions::CheckBox12, "CheckBox12", "Hide top menus", 8, 46},
        {&TFormOptions::CheckBox7, "CheckBox7", "Save Window Size", 166, 46},
        {&TFormOptions::CheckBox13, "CheckBox13", "Hide toolbar", 8, 63},
        {&TFormOptions::CheckBox2, "CheckBox2", "Start Minimized", 174, 63},
        {&TFormOptions::CheckBox19, "CheckBox19", "Flat toolbar buttons", 8, 80},
        {&TFormOptions::CheckBox22, "CheckBox22", "Choose your language :", 8, 98},
        {&TFormOptions::CheckBox18, "CheckBox18", "Semi-transparent Window", 8, 116},
        {&TFormOptions::CheckBox21, "CheckBox21", "Save your custom col widths", 8, 133},
        {&TFormOptions::CheckBox6, "CheckBox6", "Auto Run [on Windows start]", 8, 174},
        {&TFormOptions::CheckBox15, "CheckBox15", "Don't start on weekends if auto-run", 8, 191},
        {&TFormOptions::CheckBox9, "CheckBox9", "Alert me of today's events [on start] ", 8, 208},
        {&TFormOptions::CheckBox8, "CheckBox8", "Alert me at task finish time", 8, 225},
        {&TFormOptions::CheckBox11, "CheckBox11", "Email me for tomorrow's events", 8, 242},
        {&TFormOptions::CheckBox16, "CheckBox16", "Default time for new items:", 8, 259},
        {&TFormOptions::CheckBox5, "CheckBox5", "Show Notes as Hints for rows", 8, 276},
        {&TFormOptions::CheckBox17, "CheckBox17", "Color code rows by priority", 8, 293},
        // Added below the design's last row; everything under it moved down one row.
        {&TFormOptions::CheckBox23, "CheckBox23", "Also show alerts as desktop notifications", 8,
         310},
        {&TFormOptions::CheckBox10, "CheckBox10", "Auto-archive finished items", 8, 352},
        {&TFormOptions::CheckBox14, "CheckBox14", "but don't ask everytime", 24, 367},
        {&TFormOptions::CheckBox20, "CheckBox20",
         "Save INI and Data to different/shared folder :", 8, 409},
        {&TFormOptions::CheckBox4, "CheckBox4", "Date Format to use between PC's :", 8, 451},
    };
    static const GroupSpec kGroups[] = {
        {&TFormOptions::Label2, "Label2", "  Interface *  ", 8, &TFormOptions::Bevel1, "Bevel1", 14,
         &TFormOptions::CheckBox1},
        {&TFormOptions::Label3, "Label3", "  Running && Tasks *  ", 153, &TFormOptions::Bevel2,
         "Bevel2", 159, &TFormOptions::CheckBox6},
        {&TFormOptions::Label4, "Label4", "  Archive *  ", 331, &TFormOptions::Bevel3, "Bevel3",
         337, &TFormOptions::CheckBox10},
        {&TFormOptions::Label5, "Label5", "  Network use *  ", 389, &TFormOptions::Bevel4, "Bevel4",
         395, &TFormOptions::CheckBox20},
        {nullptr, nullptr, nullptr, 0, &TFormOptions::Bevel5, "Bevel5", 472, nullptr},
    };

    // The group captions are drawn over their rules.
    for (const GroupSpec &g : kGroups) {
        QFrame *rule = named<QFrame>(this, g.ruleName);
        rule->setFrameShape(QFrame::HLine);
        rule->setFrameShadow(QFrame::Sunken);
        rule->setGeometry(RuleLeft, g.ruleTop, RuleWidth, 2);
        this->*g.rule = rule;
    }
    for (const CheckSpec &c : kChecks) {
        QCheckBox *box = named<QCheckBox>(this, c.name);
        box->setText(QString::fromLatin1(c.caption));
        box->setGeometry(c.left, c.top, box->sizeHint().width(), CheckBoxHeight);
        this->*c.member = box;
    }
    for (const GroupSpec &g : kGroups) {
        if (!g.label)
            continue;
        QLabel *label = named<QLabel>(this, g.labelName);
        label->setTextFormat(Qt::PlainText);
        label->setBuddy(this->*g.buddy);
        label->setText(QString::fromLatin1(g.caption));
        label->setAutoFillBackground(true);
        label->setGeometry(GroupLabelLeft, g.top, label->sizeHint().width(), LabelHeight);
        this->*g.label = label;
    }
    CheckBox11->setEnabled(false);
    CheckBox17->setEnabled(false);
    CheckBox4->setToolTip(QStringLiteral("( if you use this soft between computers )"));

    ComboBox2 = named<QComboBox>(this, "ComboBox2");
    ComboBox2->addItems({QStringLiteral("English"), QStringLiteral("Portuguese")});
    ComboBox2->setGeometry(144, 95, 129, FieldHeight);
    ComboBox1 = named<QComboBox>(this, "ComboBox1");
    ComboBox1->addItems(
        {QStringLiteral("00h:00"), QStringLiteral("09h:30"), QStringLiteral("current")});
    ComboBox1->setGeometry(164, 258, 77, FieldHeight);

    Button_resetCols = button(this, "Button_resetCols", designCaption("Button_resetCols"),
                              QRect(176, 131, 97, 17));
    Button_resetCols->setToolTip(QStringLiteral("reset column widths to default"));

    Edit_option_savepath = named<QLineEdit>(this, "Edit_option_savepath");
    Edit_option_savepath->setReadOnly(true);
    Edit_option_savepath->setEnabled(false); // display only
    Edit_option_savepath->setGeometry(27, 426, 238, FieldHeight);
    Button_option_dir =
        button(this, "Button_option_dir", QStringLiteral("..."), QRect(266, 425, 17, 19));
    setHint(Button_option_dir, QStringLiteral(" choose default save path ... "));

    Label1 = named<QLabel>(this, "Label1");
    Label1->setTextFormat(Qt::PlainText);
    Label1->setGeometry(202, 451, 80, LabelHeight);

    Button_pp_ok =
        button(this, "Button_pp_ok", designCaption("Button_pp_ok"), QRect(144, 481, 63, 18));
    Button_pp_cancel = button(this, "Button_pp_cancel", designCaption("Button_pp_cancel"),
                              QRect(218, 481, 65, 18));

    // Tab walks the controls top to bottom, left to right.
    const QList<QWidget *> chain = {
        CheckBox1,  CheckBox3,         CheckBox12, CheckBox7,    CheckBox13,      CheckBox2,
        CheckBox19, CheckBox22,        ComboBox2,  CheckBox18,   CheckBox21,      Button_resetCols,
        CheckBox6,  CheckBox15,        CheckBox9,  CheckBox8,    CheckBox11,      CheckBox16,
        ComboBox1,  CheckBox5,         CheckBox17, CheckBox23,   CheckBox10,      CheckBox14,
        CheckBox20, Button_option_dir, CheckBox4,  Button_pp_ok, Button_pp_cancel};
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);

    // Key releases reach the dialog first, whichever control has the focus.
    installEventFilter(this);
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
}

void TFormOptions::connectHandlers()
{
    // clicked and activated come from the user only; loading and the reactions
    // below set states without running any reaction.
    auto onClick = [this](QAbstractButton *b, void (TFormOptions::*handler)()) {
        connect(b, &QAbstractButton::clicked, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    onClick(CheckBox6, &TFormOptions::CheckBox6Click);
    onClick(CheckBox10, &TFormOptions::CheckBox10Click);
    onClick(CheckBox16, &TFormOptions::CheckBox16Click);
    onClick(CheckBox22, &TFormOptions::CheckBox22Click);
    onClick(CheckBox4, &TFormOptions::CheckBox4Click);
    onClick(CheckBox20, &TFormOptions::CheckBox20Click);
    onClick(Button_option_dir, &TFormOptions::Button_option_dirClick);
    onClick(Button_resetCols, &TFormOptions::Button_resetColsClick);
    connect(ComboBox1, qOverload<int>(&QComboBox::activated), this,
            [this](int) { guarded([this] { ComboBox1Change(); }); });
    connect(ComboBox2, qOverload<int>(&QComboBox::activated), this,
            [this](int) { guarded([this] { ComboBox2Change(); }); });
    connect(Button_pp_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button_pp_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormOptions::FormCreate()
{
    if (parentWidget())
        move(parentWidget()->x() - 80, parentWidget()->y() + 50);
    ApplyLanguagePreferences(this, m_ctx.settings->text(SettingKey::Language));
    loadControls();
    Label1->setText(m_ctx.dates->shortFormat());
    Label1->resize(Label1->sizeHint().width(), LabelHeight);
    const QSize client(Button_pp_cancel->x() + 72, Button_pp_cancel->y() + 23);
    fitDesignToFont(this, client);
}

void TFormOptions::loadControls()
{
    const Settings &s = *m_ctx.settings;
    CheckBox1->setChecked(s.text(SettingKey::FormStyle) == QLatin1String("fsStayOnTop"));
    CheckBox2->setChecked(s.text(SettingKey::WindowState) == QLatin1String("wsMinimized"));
    CheckBox4->setChecked(!s.text(SettingKey::MyDateFormat).isEmpty());
    CheckBox5->setChecked(s.text(SettingKey::ShowHints) == QLatin1String("true"));
    CheckBox6->setChecked(s.flag(SettingKey::AutoRun));
    CheckBox3->setChecked(s.flag(SettingKey::WindowPosition));
    CheckBox7->setChecked(s.flag(SettingKey::WindowSize));
    CheckBox8->setChecked(s.flag(SettingKey::Alert));
    CheckBox9->setChecked(s.flag(SettingKey::Alert_s));
    CheckBox10->setChecked(s.flag(SettingKey::AutoArchiv));
    CheckBox11->setChecked(s.flag(SettingKey::EmailMe));
    CheckBox12->setChecked(s.flag(SettingKey::HideMainMenu));
    CheckBox13->setChecked(s.flag(SettingKey::HideToolbar));
    CheckBox14->setChecked(s.flag(SettingKey::AutoArchivAsk));
    CheckBox15->setChecked(s.flag(SettingKey::WeekendStop));

    const QString newTime = s.text(SettingKey::DefNewTime);
    ComboBox1->setCurrentIndex(ComboBox1->findText(newTime, Qt::MatchFixedString));
    // Only "09h:30" ticks the box: a stored "00h:00" shows in the list, unticked.
    CheckBox16->setChecked(newTime == QLatin1String("09h:30"));

    CheckBox18->setChecked(s.flag(SettingKey::Transparency));
    CheckBox19->setChecked(s.flag(SettingKey::FlatToolbar));

    const QString savePath = s.text(SettingKey::INIsavePath, m_ctx.programFolder);
    Edit_option_savepath->setText(savePath);
    CheckBox20->setChecked(savePath != m_ctx.programFolder);

    CheckBox21->setChecked(s.flag(SettingKey::CustomCols));
    CheckBox23->setChecked(s.flag(SettingKey::DesktopNotify));

    ComboBox2->setCurrentIndex(
        ComboBox2->findText(s.text(SettingKey::Language), Qt::MatchFixedString));
    CheckBox22->setChecked(ComboBox2->currentIndex() != 0);

    CheckBox14->setEnabled(CheckBox10->isChecked());
    CheckBox15->setEnabled(CheckBox6->isChecked());
}

void TFormOptions::guarded(const std::function<void()> &handler)
{
    runGuarded(*m_ctx.messages, this, handler);
}

void TFormOptions::keyPressEvent(QKeyEvent *event)
{
    // No Escape or Enter shortcut: only the two buttons close the dialog.
    const int key = event->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TFormOptions::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease) {
        // Once per key: at the control that has the focus, not again as the
        // release travels up to the dialog.
        QWidget *focus = focusWidget();
        if (watched == focus || (!focus && watched == this)) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (!key->isAutoRepeat())
                guarded([&] { FormKeyUp(key->key()); });
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TFormOptions::stayOnTopChecked() const
{
    return CheckBox1->isChecked();
}
