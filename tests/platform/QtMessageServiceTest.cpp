#include "platform/QtMessageService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace {

struct SeenBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool onTop = false;
};

// Shows the box and, once it is up, records it and lets `answer` act on it.
MsgResult showAndAnswer(const MessageRequest &request,
                        const std::function<void(QMessageBox *)> &answer, SeenBox &seen,
                        QWidget *parent = nullptr)
{
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            ADD_FAILURE() << "no modal message box";
            return;
        }
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        answer(box);
    });
    // Should the box not close, this ends it so the test fails instead of hanging.
    QObject rescue;
    QTimer::singleShot(8000, &rescue, [] {
        if (QWidget *box = QApplication::activeModalWidget())
            box->close();
    });
    QtMessageService messages;
    return messages.show(parent, request);
}

void press(QMessageBox *box, QMessageBox::StandardButton which)
{
    QTest::mouseClick(box->button(which), Qt::LeftButton);
}

void escape(QMessageBox *box)
{
    QTest::keyClick(box, Qt::Key_Escape);
}

TEST(QtMessageService, ShowsCaptionAndTextWithEveryCarriageReturnAsALineBreak)
{
    SeenBox seen;
    const MsgResult r = showAndAnswer(
        {"Caption  two", "  one\r\rtwo\r\nthree", MsgIcon::None, MsgButtons::Ok},
        [](QMessageBox *b) { press(b, QMessageBox::Ok); }, seen);
    EXPECT_EQ(r, MsgResult::Ok);
    EXPECT_EQ(seen.title, "Caption  two");
    EXPECT_EQ(seen.text, "  one\n\ntwo\nthree");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST(QtMessageService, CtrlCCopiesTheTextAndLeavesTheBoxOpen)
{
    QApplication::clipboard()->setText(QStringLiteral("before"));
    SeenBox seen;
    QString copied;
    bool stillOpen = false;
    showAndAnswer(
        {"Nudgery", "Things ToDo today :\r\r1 - Call", MsgIcon::Information, MsgButtons::Ok},
        [&](QMessageBox *b) {
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : b,
                            Qt::Key_C, Qt::ControlModifier);
            copied = QApplication::clipboard()->text();
            stillOpen = b->isVisible();
            press(b, QMessageBox::Ok);
        },
        seen);
    EXPECT_EQ(copied, "Things ToDo today :\n\n1 - Call");
    EXPECT_TRUE(stillOpen);
}

// A list longer than the screen scrolls inside the box; the box, its title and its
// buttons stay on the screen. A short list is the plain box it always was.
TEST(QtMessageService, ALongListScrollsInsideABoxNoTallerThanTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const int tasks : {12, 500, 3000}) {
        SCOPED_TRACE(tasks);
        QString text = QStringLiteral("Things ToDo today :\r");
        for (int i = 1; i <= tasks; ++i)
            text += QStringLiteral("\r%1 - Task number %1").arg(i);
        QString expectedList = text.section(QLatin1Char('\r'), 2);
        expectedList.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        SeenBox seen;
        QRect box, ok;
        QString listed, copied;
        int scrollRange = 0;
        bool hasList = false;
        showAndAnswer(
            {" Nudgery", text, MsgIcon::Information, MsgButtons::Ok},
            [&](QMessageBox *b) {
                box = b->frameGeometry();
                QAbstractButton *button = b->button(QMessageBox::Ok);
                ok = QRect(button->mapToGlobal(QPoint(0, 0)), button->size());
                if (const auto *list = b->findChild<QPlainTextEdit *>()) {
                    hasList = list->isVisible();
                    listed = list->toPlainText();
                    scrollRange = list->verticalScrollBar()->maximum();
                }
                QTest::keyClick(b, Qt::Key_C, Qt::ControlModifier);
                copied = QApplication::clipboard()->text();
                QTest::keyClick(b, Qt::Key_Return);
            },
            seen);
        EXPECT_TRUE(screen.contains(box)) << box.height() << " on " << screen.height();
        EXPECT_TRUE(box.contains(ok));
        EXPECT_EQ(copied, QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
        if (tasks == 12) {
            EXPECT_FALSE(hasList);
            EXPECT_EQ(seen.text, copied);
            continue;
        }
        EXPECT_TRUE(hasList);
        EXPECT_EQ(seen.text, QStringLiteral("Things ToDo today :"));
        EXPECT_EQ(listed, expectedList);
        EXPECT_GT(scrollRange, 0);
    }
}

TEST(QtMessageService, MapsEachIcon)
{
    const std::pair<MsgIcon, QMessageBox::Icon> cases[] = {
        {MsgIcon::Information, QMessageBox::Information},
        {MsgIcon::Warning, QMessageBox::Warning},
        {MsgIcon::Error, QMessageBox::Critical},
    };
    for (const auto &[ours, qt] : cases) {
        SeenBox seen;
        showAndAnswer({"c", "t", ours, MsgButtons::Ok}, escape, seen);
        EXPECT_EQ(seen.icon, qt);
    }
}

TEST(QtMessageService, YesNoAnswersAndEscapeMeansNo)
{
    SeenBox seen;
    const MessageRequest ask{"Information", "Sure?", MsgIcon::Information, MsgButtons::YesNo};
    EXPECT_EQ(showAndAnswer(
                  ask, [](QMessageBox *b) { press(b, QMessageBox::Yes); }, seen),
              MsgResult::Yes);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(showAndAnswer(
                  ask, [](QMessageBox *b) { press(b, QMessageBox::No); }, seen),
              MsgResult::No);
    EXPECT_EQ(showAndAnswer(ask, escape, seen), MsgResult::No);
    EXPECT_EQ(showAndAnswer(
                  ask, [](QMessageBox *b) { b->close(); }, seen),
              MsgResult::No);
}

TEST(QtMessageService, YesCancelAnswersAndEscapeMeansCancel)
{
    SeenBox seen;
    const MessageRequest ask{"Nudgery", "Go on?", MsgIcon::Warning, MsgButtons::YesCancel};
    EXPECT_EQ(showAndAnswer(
                  ask, [](QMessageBox *b) { press(b, QMessageBox::Yes); }, seen),
              MsgResult::Yes);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::Cancel);
    EXPECT_EQ(showAndAnswer(
                  ask, [](QMessageBox *b) { press(b, QMessageBox::Cancel); }, seen),
              MsgResult::Cancel);
    EXPECT_EQ(showAndAnswer(ask, escape, seen), MsgResult::Cancel);
}

TEST(QtMessageService, ReturnAcceptsTheAffirmativeButton)
{
    SeenBox seen;
    const MessageRequest ask{"Information", "Sure?", MsgIcon::Information, MsgButtons::YesNo};
    EXPECT_EQ(showAndAnswer(
                  ask, [](QMessageBox *b) { QTest::keyClick(b, Qt::Key_Return); }, seen),
              MsgResult::Yes);
}

TEST(QtMessageService, StaysOnTopOnlyWithoutAVisibleParent)
{
    SeenBox seen;
    showAndAnswer({"c", "t", MsgIcon::None, MsgButtons::Ok}, escape, seen);
    EXPECT_TRUE(seen.onTop);

    QWidget hidden;
    showAndAnswer({"c", "t", MsgIcon::None, MsgButtons::Ok}, escape, seen, &hidden);
    EXPECT_TRUE(seen.onTop);

    QWidget shown;
    shown.show();
    showAndAnswer({"c", "t", MsgIcon::None, MsgButtons::Ok}, escape, seen, &shown);
    EXPECT_FALSE(seen.onTop);
}

} // namespace
