#pragma once
#include "low/lower.h"
