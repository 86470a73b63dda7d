#pragma once

#include "WebLinks.h"
#include "platform/AppContext.h"

#include <QDialog>

class QFrame;
class QLabel;

// The about box: the program's name and version, its description and icon, and
// three links (e-mail, freeware page, donation page). A click anywhere but on a
// link closes it. Created once at start-up, placed by the main window's position
// at that moment, shown modally by the "About" commands.
class TFormAbout : public QDialog
{
    Q_OBJECT
public:
    TFormAbout(AppContext &ctx, QWidget *parent, const WebLinks &links = WebLinks::fromBuild());

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void FormClick();
    void Label7Click();  // e-mail
    void Label8Click();  // donation page
    void Label10Click(); // freeware page

    void FormCreate();
    QLabel *label(const char *name, const QString &text, int pixelSize, bool link = false);
    void arrange();
    void placeDonateLink();
    void openLink(const QUrl &url);

    // Components, named as in the dialog's design.
    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr,
           *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr,
           *DonateTail = nullptr, // Label5's words after the blank, moved right of a wide link
               *Label10 = nullptr;
    QLabel *Image2 = nullptr;
    QFrame *Bevel1 = nullptr;

    AppContext &m_ctx;
    WebLinks m_links;
    bool m_pressed = false;
};
