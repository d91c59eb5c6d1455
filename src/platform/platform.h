// Everything the game may call of the platform.
#pragma once

#include "display.h"
#include "font.h"
#include "input.h"
#include "picture.h"
#include "program.h"
#include "random.h"
#include "stream.h"
#include "text.h"
