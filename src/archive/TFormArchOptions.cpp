#include "TFormArchOptions.h"

#include "i18n/LanguageTables.h"
#include "platform/HandlerGuard.h"
#include "store/Settings.h"
#include "widgets/ApplyLanguage.h"
#include "widgets/DesignCaptions.h"
#include "widgets/KeyPreview.h"
#include "widgets/RepaintOnAltTab.h"

#include <QCheckBox>
#include <QPushButton>
#include <algorithm>

namespace {

const DesignCaptions designCaption(LanguageTables::archivePreferences());

// The designed arrangement; rows and the button grow when the font needs it.
constexpr int Margin = 8;
constexpr int FirstTop = 8;
constexpr int RowStep = 17;
constexpr int ButtonLeft = 200, ButtonWidth = 87, ButtonHeight = 17;
constexpr int ButtonBelowLastRow = 4; // 46 for the third row at 42
constexpr int BottomGap = 5;          // 68 for the button at 46
constexpr int ClientWidth = 296;

QCheckBox *checkBox(QWidget *parent, const char *name, const QString &caption, bool checked)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(checked);
    return box;
}

} // namespace

TFormArchOptions::TFormArchOptions(AppContext &ctx, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_ctx(ctx)
{
    setObjectName(QStringLiteral("FormArchOptions"));
    setWindowTitle(QStringLiteral(" Preferences ..."));
    const Settings &s = *m_ctx.settings;
    CheckBox1 = checkBox(this, "CheckBox1", designCaption("CheckBox1"),
                         s.flag(SettingKey::ArchWindowPosition));
    CheckBox2 =
        checkBox(this, "CheckBox2", designCaption("CheckBox2"), s.flag(SettingKey::ArchWindowSize));
    CheckBox3 =
        checkBox(this, "CheckBox3", designCaption("CheckBox3"), s.flag(SettingKey::UnArchivAsk));
    Button_pp_ok = new QPushButton(designCaption("Button_pp_ok"), this);
    Button_pp_ok->setObjectName(QStringLiteral("Button_pp_ok"));
    Button_pp_ok->setDefault(true);

    const std::pair<QCheckBox *, SettingKey> switches[] = {
        {CheckBox1, SettingKey::ArchWindowPosition},
        {CheckBox2, SettingKey::ArchWindowSize},
        {CheckBox3, SettingKey::UnArchivAsk},
    };
    for (const auto &[box, key] : switches) {
        connect(box, &QCheckBox::clicked, this, [this, key = key](bool checked) {
            runGuarded(*m_ctx.messages, this, [&] { m_ctx.settings->setFlag(key, checked); });
        });
    }
    connect(Button_pp_ok, &QPushButton::clicked, this, &QDialog::accept);
    new KeyPreview(this, {},
                   [this](int key) { runGuarded(*m_ctx.messages, this, [&] { FormKeyUp(key); }); });
    arrange();
}

void TFormArchOptions::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    runGuarded(*m_ctx.messages, this, [this] { FormShow(); });
}

void TFormArchOptions::FormShow()
{
    ApplyLanguageArchivePreferences(this, m_ctx.settings->text(SettingKey::Language));
    arrange(); // the texts of another language may be longer
}

void TFormArchOptions::FormKeyUp(int key)
{
    RepaintOnAltTab(this, key, *m_ctx.os);
}

void TFormArchOptions::arrange()
{
    int rowHeight = RowStep;
    int boxesWidth = 0;
    for (QCheckBox *box : {CheckBox1, CheckBox2, CheckBox3}) {
        rowHeight = std::max(rowHeight, box->sizeHint().height());
        boxesWidth = std::max(boxesWidth, box->sizeHint().width());
    }
    int top = FirstTop;
    for (QCheckBox *box : {CheckBox1, CheckBox2, CheckBox3}) {
        box->setGeometry(Margin, top, box->sizeHint().width(), rowHeight);
        top += rowHeight;
    }
    const int buttonTop = CheckBox3->y() + ButtonBelowLastRow;
    const int buttonHeight = std::max(ButtonHeight, Button_pp_ok->fontMetrics().height() + 5);
    const int buttonWidth = std::max(
        ButtonWidth, Button_pp_ok->fontMetrics().horizontalAdvance(Button_pp_ok->text()) + 16);
    const int buttonLeft = std::max(ButtonLeft, Margin + CheckBox3->sizeHint().width() + Margin);
    Button_pp_ok->setGeometry(buttonLeft, buttonTop, buttonWidth, buttonHeight);
    const int width =
        std::max({ClientWidth, buttonLeft + buttonWidth + (ClientWidth - ButtonLeft - ButtonWidth),
                  Margin + boxesWidth + Margin});
    setFixedSize(width, std::max(buttonTop + buttonHeight, top) + BottomGap);
}
