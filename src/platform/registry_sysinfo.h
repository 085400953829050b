#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace navelo {

// A registry read that failed in a way the caller cannot treat as "not there" (a value of size 0).
struct RegistryReadFailure {};

// Reads one registry value as text: REG_SZ as its text (without a terminating zero), REG_DWORD as
// "&h" and its bytes from last to first in upper-case hexadecimal, any other type leaves `value`
// as it was. Returns false, with `value` empty, when the key or value cannot be read; throws
// RegistryReadFailure for a value of size 0. The key is closed on every path.
bool GetKeyValue(platform::Registry& registry, platform::Registry::Key root,
                 const std::u16string& keyName, const std::u16string& subKeyRef,
                 std::u16string& value);

// Starts the system-information tool named in the registry, or returns false when there is none
// or it cannot be started.
bool StartSysInfo(platform::Registry& registry, platform::ProgramLauncher& launcher);

}  // namespace navelo
