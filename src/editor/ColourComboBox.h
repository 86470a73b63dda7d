#pragma once

#include <QComboBox>

class QPainter;

// The editor's text colour list (ComboBox3): one item per entry of the text colour
// table, drawn by the program: a swatch for entries 0-17, the words "default  "
// for entry 18. The closed box shows its current item the same way.
class ColourComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit ColourComboBox(QWidget *parent = nullptr);

    // Draws item index into rect: entry 18 and above as "default  " at the top
    // left, the others filled with their colour, the rectangle less one pixel on
    // its left, top and right sides.
    static void ComboBox3DrawItem(QPainter &painter, const QRect &rect, int index,
                                  const QPalette &palette);
    static const QString DefaultItemText;

protected:
    void paintEvent(QPaintEvent *event) override;
};
