#include "viewer/core/pane_control.h"
