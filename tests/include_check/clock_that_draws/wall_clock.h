// A file the include check must refuse in clock/: it draws, and it reaches into window/.
#pragma once

#include <QObject>
#include <QWidget>
#include <chrono>
#include <sys/timerfd.h>

#include "window/design.h"
#include "wall_clock_face.h"
