#pragma once
// What an action does, in words: the short form for the actions list, the long
// form (with the object) for the test log.

#include <string>

#include "document/disk_action.h"
#include "document/registry_action.h"

namespace kestrel {

std::u16string DescribeRegAction(const REGACTION& action, bool details);
std::u16string DescribeDiskAction(const DISKACTION& action, bool details);

}  // namespace kestrel
