// The whole simulated machine: one include for tests, and one reset between them.
#pragma once

#include "sim_com.h"
#include "sim_devices.h"
#include "sim_files.h"
#include "sim_machine.h"
#include "sim_output.h"
#include "sim_registry.h"
#include "sim_wmi.h"

namespace sim {

// A fresh machine: every service emptied, the ledger, faults and call log forgotten.
void resetMachine();

// Forgets the call log and every request and output recorded, keeping the machine and what
// is held: a long run can then go on without the records growing.
void forgetHistory();

}  // namespace sim
