#pragma once
// Start-up work that the title screen does not need waits until the title
// has been painted, then runs one step per turn of the event loop: the
// title appears sooner, and a key pressed meanwhile waits for one step at
// most.
#include <functional>
#include <vector>

class QObject;
class QWidget;

using StartupStep = std::function<void()>;

// Runs `steps` in order, the first `firstStepDelayMs` after `title` has been
// painted for the first time (or after half a second, should it never be
// painted).
// The object returned lives until its steps have run (or its window is gone).
QObject* runAfterFirstPaint(QWidget* title, std::vector<StartupStep> steps, int firstStepDelayMs = 0);
