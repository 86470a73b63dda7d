#pragma once

#include <QString>

// Messages that more than one window shows, spelled once.
namespace SharedTexts {
inline const QString DeleteTaskQuestion = QStringLiteral("Sure to delete this Task ?");
} // namespace SharedTexts
