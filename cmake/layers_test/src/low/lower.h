#pragma once
#include "high/upper.h"
