#pragma once

class QWidget;
struct AppContext;

// Help > Check new versions: the version file fetched from its sources and
// compared with the program's own version; the outcome told in a box.
void checkNewVersion(QWidget *parent, const AppContext &ctx);
