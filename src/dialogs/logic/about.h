#pragma once

#include <string_view>

#include "platform/sysinfo.h"
#include "platform/system.h"

namespace navelo {

inline constexpr std::u16string_view kSysInfoUnavailable = u"現時点ではｼｽﾃﾑ情報を使用できません";

// The about box's system-information button: starts the tool, or says it cannot be used.
inline void RunSystemInfo(platform::SystemInfoService& sysInfo,
                          platform::MessageBoxService& messages) {
  if (!sysInfo.Start()) messages.Show(std::u16string(kSysInfoUnavailable));
}

}  // namespace navelo
