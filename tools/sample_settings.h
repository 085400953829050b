#pragma once

#include <string>
#include <string_view>

#include "settings/settings.h"
#include "settings/targets.h"

// The sample identifiers and page titles the dialog previews show, the pages seen in `browser`.
namespace navelo::tools {

inline SettingsRecord SampleRecord(std::u16string_view browser) {
  SettingsRecord record;
  record.startupPassword = u"secret";
  record.NetID = u"AB123456";
  record.PatID = u"12345678";
  record.Password = u"1234";
  record.Pars = u"5678";
  record.ApatPassword = u"apat";
  record.TouhyouTitle = u"IPAT合計金額入力 - " + std::u16string(browser);
  record.ShoukaiTitle = u"IPAT照会ログイン - " + std::u16string(browser);
  record.Zenmen = 1;
  return record;
}

inline TargetSlots SampleTargets(std::u16string_view browser) {
  TargetSlots targets;
  targets.lastActiveTitle = u"IPAT照会ログイン - " + std::u16string(browser);
  return targets;
}

}  // namespace navelo::tools
