// The demo's scripts for the executor's tests: the script helpers of demo_scripts.h, and
// DemoTest, the demo's order-entry schema in the database of test_support.h (DUAL, no
// dictionary views, no storage). Over the standard engine: engine/compose/demo_fixture.h.
#pragma once

#include "engine/exec/demo_scripts.h"
#include "engine/exec/test_support.h"

namespace ocisim::testing {

using DemoTest = DemoSchemaTest<EngineTest>;

}  // namespace ocisim::testing
