// The probe's two renderings of a report: a table for people, JSON for support tickets.
#pragma once

#include <string>

#include "probe_report.h"

namespace probe {

std::string renderTable(const Report& report);
std::string renderJson(const Report& report);

}  // namespace probe
