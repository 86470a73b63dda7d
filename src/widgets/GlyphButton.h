#pragma once

#include <QToolButton>

// A tool button narrower than the style's margins leave room for: its glyph is
// drawn centred over the whole button at the icon size, instead of shrunk (and
// blurred pale) into what the margins leave.
class GlyphButton : public QToolButton
{
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};
