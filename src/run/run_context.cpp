#include "run/run_context.h"

namespace velmora {

void RunContext::announceStep(const std::string& statusStep, const std::string& titleStep) {
  host_.setStatus(statusStep + " ...");
  host_.setTitle(titleStep + " - Velmora for Oracle");
}

}  // namespace velmora
