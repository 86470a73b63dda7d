#include "TFormAbout.h"

#include "TEXEVersionData.h"
#include "VersionBlock.h"
#include "platform/AppIcon.h"
#include "platform/MessageService.h"
#include "platform/Services.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>

namespace {

// Image1's place, whose top lies above the box's edge.
constexpr QRect PictureArea(8, -4, 73, 61);

// The program's icon in Image1's place, drawn whole inside the part of it on
// the box, at the screen's own scale: a stretched icon would lose its top edge.
QPixmap picture(qreal scale)
{
    QPixmap area(PictureArea.size() * scale);
    area.setDevicePixelRatio(scale);
    area.fill(Qt::transparent);
    const int hidden = -PictureArea.top();
    const int side = PictureArea.height() - hidden - 2;
    QPainter p(&area);
    p.drawPixmap(QRect((PictureArea.width() - side) / 2, hidden + 1, side, side),
                 appIcon().pixmap(QSize(side, side), scale));
    return area;
}

const QString FeedbackText = QStringLiteral(
    "If you like this program, do email me with feedback, ideas, suggestions or questions to");
const QString DonateBefore = QStringLiteral("You can also help the development, by ");
const QString DonateBlank = QStringLiteral("_______");
const QString DonateAfter = QStringLiteral(" a few $$");
const QString DonateText = DonateBefore + DonateBlank + DonateAfter;

int right(const QWidget *w)
{
    return w->x() + w->width();
}

// A label at its designed place, grown to its text.
void place(QLabel *label, int left, int top)
{
    label->adjustSize();
    label->move(left, top);
}

// A word-wrapped label at its designed place and width; taller when its text
// needs more lines than designed. Returns the extra height.
int placeWrapped(QLabel *label, int left, int top, int width, int designedHeight)
{
    const int height = qMax(designedHeight, label->heightForWidth(width));
    label->setGeometry(left, top, width, height);
    return height - designedHeight;
}

// Where the end of a wrapped label's text lies: the last line's right end and
// top, and its ascent.
struct LineEnd
{
    qreal x = 0;
    qreal top = 0;
    qreal ascent = 0;
    qreal height = 0;
};

LineEnd lastLineEnd(const QLabel *label)
{
    QTextLayout layout(label->text(), label->font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    LineEnd end;
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(label->width());
        line.setPosition(QPointF(0, y));
        end = {line.naturalTextWidth(), y, line.ascent(), line.height()};
        y += line.height();
    }
    layout.endLayout();
    return end;
}

} // namespace

TFormAbout::TFormAbout(AppContext &ctx, QWidget *parent, const WebLinks &links)
    : QDialog(parent), m_ctx(ctx), m_links(links)
{
    setObjectName(QStringLiteral("FormAbout"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    QFont font = this->font();
    font.setPixelSize(12);
    setFont(font);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(picture(devicePixelRatioF()));

    Label2 = label("Label2", QStringLiteral("FreeWare by"), 11);
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    Label1 = label("Label1", QStringLiteral("\u00A9"), 13);
    Label3 = label("Label3", m_links.makerName, 12);
    Label10 = label("Label10", m_links.webAddress, 11, !m_links.freewarePage.isEmpty());
    Label6 = label("Label6", QString(), 12);
    Label6->setWordWrap(true);

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setAlignment(Qt::AlignCenter);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);

    Label4 = label("Label4", FeedbackText, 12);
    Label4->setWordWrap(true);
    Label7 = label("Label7", m_links.emailAddress, 11, true);
    Label5 = label("Label5", DonateText, 12);
    Label8 = label("Label8", QStringLiteral("donating "), 11, true);
    Label8->setAutoFillBackground(true); // covers the blank of Label5
    DonateTail = label("DonateTail", DonateAfter.trimmed(), 12);
    DonateTail->setAutoFillBackground(true);

    // What the build has no address for is left out.
    for (QLabel *l : {Label1, Label2, Label3})
        l->setVisible(!m_links.makerName.isEmpty());
    Label10->setVisible(!m_links.webAddress.isEmpty());
    for (QLabel *l : {Label4, Label7})
        l->setVisible(!m_links.emailAddress.isEmpty());
    for (QLabel *l : {Label5, Label8, DonateTail})
        l->setVisible(!m_links.donationPage.isEmpty());

    FormCreate();
}

QLabel *TFormAbout::label(const char *name, const QString &text, int pixelSize, bool link)
{
    auto *l = new QLabel(text, this);
    l->setObjectName(QString::fromLatin1(name));
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setTextFormat(Qt::PlainText);
    QFont f = font();
    f.setPixelSize(pixelSize);
    if (link) {
        f.setUnderline(true);
        QPalette palette = l->palette();
        palette.setColor(QPalette::WindowText, Qt::blue);
        l->setPalette(palette);
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
    } else {
        // A click on a plain label is a click on the box.
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    l->setFont(f);
    return l;
}

void TFormAbout::FormCreate()
{
    TEXEVersionData version;
    ReadVersionData(VersionBlock::program(), version);
    setWindowTitle(AppTitle + QStringLiteral("   (v") + version.FileVersion + QLatin1Char(')'));
    Image2->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    Label6->setText(version.Comments);
    arrange();
    // Where the main window stands now, at start-up; later moves do not count.
    if (parentWidget())
        move(parentWidget()->x() - 10, parentWidget()->y() + 140);
}

void TFormAbout::arrange()
{
    // The designed places; what lies below a text that needs more lines than
    // designed moves down by the extra, and the box grows to its texts.
    Image1->setGeometry(PictureArea);
    place(Label2, 128, 11);
    place(Label1, qMax(212, right(Label2) + 2), 10);
    place(Label3, qMax(224, right(Label1)), 12);
    place(Label10, 180, 23);

    int below = placeWrapped(Label6, 10, 56, 228, 41);
    Image2->setGeometry(248, 56, 41, 41);
    Bevel1->setGeometry(8, 104 + below, 280, 2);

    placeWrapped(Label4, 9, 112 + below, 278, 26);
    // The e-mail address follows the last word of Label4, on the same baseline,
    // or starts a line of its own when that line has no room left.
    Label7->adjustSize();
    const LineEnd end = lastLineEnd(Label4);
    const QFontMetrics feedbackMetrics(Label4->font());
    int x = Label4->x() + qCeil(end.x) + feedbackMetrics.horizontalAdvance(QLatin1Char(' '));
    qreal lineTop = end.top;
    if (x + Label7->width() > right(Label4)) {
        x = Label4->x();
        lineTop += end.height;
        Label4->resize(Label4->width(), qMax(Label4->height(), qCeil(lineTop + end.height)));
    }
    Label7->move(x, Label4->y() + qRound(lineTop + end.ascent) -
                        QFontMetrics(Label7->font()).ascent());
    below += Label4->height() - 26;

    const QSize donate = Label5->sizeHint();
    Label5->setGeometry(8, 146 + below, qMax(281, donate.width()), qMax(13, donate.height()));
    placeDonateLink();

    int width = right(Label4) + 8;
    for (QWidget *w : {static_cast<QWidget *>(Label3), static_cast<QWidget *>(Label10),
                       static_cast<QWidget *>(Label5), static_cast<QWidget *>(Label7),
                       static_cast<QWidget *>(Label8), static_cast<QWidget *>(DonateTail)})
        width = qMax(width, right(w) + 8);
    setFixedSize(width, Label5->y() + Label5->height() + 8);
}

void TFormAbout::placeDonateLink()
{
    // The link covers the blank of Label5 in its own readable size. Where it
    // reaches into the words after the blank, they move right of it (an opaque
    // copy over the originals), so nothing is covered.
    const QFontMetrics donate(Label5->font());
    const int blankLeft = Label5->x() + donate.horizontalAdvance(DonateBefore);
    const int wordsLeft = blankLeft + donate.horizontalAdvance(DonateBlank + QLatin1Char(' '));
    const QFontMetrics link(Label8->font());
    Label8->resize(qMax(Label8->sizeHint().width(), donate.horizontalAdvance(DonateBlank)),
                   Label8->sizeHint().height());
    Label8->move(blankLeft, Label5->y() + donate.ascent() - link.ascent());
    DonateTail->setVisible(right(Label8) > wordsLeft && !Label8->isHidden());
    DonateTail->adjustSize();
    DonateTail->move(right(Label8), Label5->y());
}

void TFormAbout::FormClick()
{
    reject();
}

void TFormAbout::Label7Click()
{
    openLink(m_links.mailUrl());
}

void TFormAbout::Label8Click()
{
    openLink(QUrl(m_links.donationPage));
}

void TFormAbout::Label10Click()
{
    openLink(QUrl(m_links.freewarePage));
}

void TFormAbout::openLink(const QUrl &url)
{
    // A page that cannot be opened (no browser, no mail program) is not reported.
    if (!url.isEmpty())
        m_ctx.urls->open(url);
}

bool TFormAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        auto *link = qobject_cast<QLabel *>(watched);
        if (link &&
            link->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint())) {
            if (link == Label7)
                Label7Click();
            else if (link == Label8)
                Label8Click();
            else if (link == Label10)
                Label10Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormAbout::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QDialog::mousePressEvent(event);
}

void TFormAbout::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        FormClick();
    else
        QDialog::mouseReleaseEvent(event);
}
