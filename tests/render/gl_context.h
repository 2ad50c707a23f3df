// The one hidden GL context that a test program's cases share.
#pragma once

#include "platform/offscreen_gl/offscreen_gl.h"

platform::OffscreenGL& testContext();
