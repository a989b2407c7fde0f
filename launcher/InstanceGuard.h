#pragma once
// The guard that keeps two launchers of one executable file apart, in one user's session.

#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace brindle {

// The guard's name. From the identity of the running file, so that every path to it (a short name,
// another drive letter, a mapped drive and its share, a link or junction, another letter case) gives
// one guard, while two copies in two folders give two. Where the file has no identity to read, from
// its path, upper-cased, so that a launcher is never left without a guard.
std::string InstanceGuardName(Platform& platform, std::string_view executablePath);

}  // namespace brindle
