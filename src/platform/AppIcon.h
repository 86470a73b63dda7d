#pragma once

#include <QIcon>

// The program's icon, drawn here: a checklist sheet with a small bell.
QIcon appIcon();
