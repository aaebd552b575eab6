#include "ui/app_signals.h"
