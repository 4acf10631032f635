#include "platform/FaultInjection.h"

namespace platform::fault_injection {
namespace {

struct Plan {
  int failAt = 0;  // 1-based position of the operation to fail; 0 = none
  int code = 0;
  int seen = 0;
};

bool armed = false;
Plan plans[4];

Plan& PlanFor(Operation operation) { return plans[static_cast<int>(operation)]; }

}  // namespace

void FailNth(Operation operation, int n, int errorCode) {
  armed = true;
  PlanFor(operation) = Plan{n, errorCode, 0};
}

void StartCounting() {
  Reset();
  armed = true;
}

int Count(Operation operation) { return PlanFor(operation).seen; }

void Reset() {
  armed = false;
  for (Plan& plan : plans) plan = Plan{};
}

int Check(Operation operation) {
  if (!armed) return 0;
  Plan& plan = PlanFor(operation);
  ++plan.seen;
  return plan.seen == plan.failAt ? plan.code : 0;
}

}  // namespace platform::fault_injection
