#pragma once

#include <QObject>
#include <QTimer>

namespace vemro {

// The shared one-shot reply timer (tmrTimeout): its tick sets TimeoutFlag and stops it, so
// it fires at most once per start. At program start it is stopped with 2000 ms.
constexpr int kTimeoutStartIntervalMs = 2000;

// Makes `timer` behave as tmrTimeout (safe to call more than once for the same timer).
void bindTimeoutTimer(QTimer* timer);
// A new tmrTimeout for programs without a main window (vemro-cli, tests).
[[nodiscard]] QTimer* createTimeoutTimer(QObject* parent);

// Restarts the timer (disable, enable) after clearing TimeoutFlag.
void restartTimeout(QTimer* timer);

} // namespace vemro
