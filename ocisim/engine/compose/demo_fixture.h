// The demo's scripts for the tests of the standard engine: the script helpers of
// engine/exec/demo_scripts.h, and DemoTest, the demo's order-entry schema in a database with the
// dictionary views (test_support.h).
#pragma once

#include "engine/compose/test_support.h"
#include "engine/exec/demo_scripts.h"

namespace ocisim::testing {

using DemoTest = DemoSchemaTest<EngineTest>;

}  // namespace ocisim::testing
